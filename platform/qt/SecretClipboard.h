#pragma once

#include "platform/ClipboardPort.h"

#include <QMimeData>
#include <QPointer>

namespace velkrin {

// The clipboard port over QClipboard. The secret marks are this port's
// business: "x-kde-passwordManagerHint: secret", which Klipper, KeePassXC and
// newer clipboard managers honour, and "application/x-copyq-hidden: 1", the
// one CopyQ 6 reads. Clearing sets empty text, so a clipboard manager or
// compositor that keeps the last text keeps nothing.
class SecretClipboard final : public ClipboardPort {
public:
    bool put(std::string_view secret) override;
    bool stillOurs() const override;
    void clear() override;

private:
    QPointer<QMimeData> m_copied; // the clipboard deletes it when anything replaces it
};

} // namespace velkrin
