#pragma once

#include <string_view>

namespace velkrin {

// The system clipboard as the secret copy needs it. When and whether to
// clear is decided by SecretCopy (window/SecretCopy.h), never by the host.
class ClipboardPort {
public:
    virtual ~ClipboardPort() = default;
    // Puts UTF-8 text on the clipboard marked as secret for the clipboard
    // managers and histories that honour a mark. False when the clipboard
    // could not be had (another program holding it).
    virtual bool put(std::string_view secret) = 0;
    // Whether the clipboard still holds what put() placed last, i.e. nothing
    // was copied since.
    virtual bool stillOurs() const = 0;
    // Takes our copy off, overwriting its text where the system lets us reach
    // it, and leaves the clipboard alone if it is no longer ours by then.
    virtual void clear() = 0;
};

} // namespace velkrin
