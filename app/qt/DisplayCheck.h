#pragma once

namespace velkrin {

// Around the construction of QApplication: without a display (none set, or
// the platform plugin cannot reach it) Qt prints advice about reinstalling
// and aborts. Between these two calls that ends instead in one line on
// standard error and exit status 1; the platform plugin's other messages
// are held back until then and passed on after.
void holdPlatformMessages();
void releasePlatformMessages();

} // namespace velkrin
