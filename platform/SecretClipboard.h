#pragma once

#include <QString>

namespace velkrin {

// Puts a password on the clipboard marked as secret (the MIME type
// "x-kde-passwordManagerHint" with the value "secret", which Linux password
// managers set), so that clipboard managers keep it out of their history.
void copySecretText(const QString &text);

} // namespace velkrin
