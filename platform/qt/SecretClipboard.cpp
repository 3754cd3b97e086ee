#include "platform/qt/SecretClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace velkrin {

SecretClipboard::SecretClipboard(std::chrono::milliseconds clearAfter, QObject *parent) : QObject(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(clearAfter);
    connect(&m_timer, &QTimer::timeout, this, &SecretClipboard::clearIfStillOurs);
}

SecretClipboard::~SecretClipboard()
{
    clearIfStillOurs();
}

void SecretClipboard::copy(const QString &secret)
{
    auto *data = new QMimeData;
    data->setText(secret);
    data->setData(QStringLiteral("x-kde-passwordManagerHint"), QByteArrayLiteral("secret"));
    data->setData(QStringLiteral("application/x-copyq-hidden"), QByteArrayLiteral("1"));
    QGuiApplication::clipboard()->setMimeData(data); // takes ownership
    m_copied = data;
    m_timer.start();
}

void SecretClipboard::clearIfStillOurs()
{
    m_timer.stop();
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (m_copied && clipboard->mimeData() == m_copied.data())
        clipboard->setText(QString());
    m_copied.clear();
}

} // namespace velkrin
