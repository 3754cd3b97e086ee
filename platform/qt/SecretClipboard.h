#pragma once

#include <QMimeData>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <chrono>

namespace velkrin {

// Puts passwords on the clipboard marked as secret, and takes them off again.
// The marks are "x-kde-passwordManagerHint: secret", which Klipper, KeePassXC
// and newer clipboard managers honour, and "application/x-copyq-hidden: 1",
// the one CopyQ 6 reads. A copy is cleared a while later (kClearAfter in the program) and when this
// object goes (program close), but only while the clipboard still holds it:
// whatever was copied since is left alone. Clearing sets empty text, so a
// clipboard manager or compositor that keeps the last text keeps nothing.
class SecretClipboard final : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::seconds kClearAfter{30};

    explicit SecretClipboard(std::chrono::milliseconds clearAfter = kClearAfter, QObject *parent = nullptr);
    ~SecretClipboard() override;

    void copy(const QString &secret);

private:
    void clearIfStillOurs();

    QTimer m_timer;
    QPointer<QMimeData> m_copied; // the clipboard deletes it when anything replaces it
};

} // namespace velkrin
