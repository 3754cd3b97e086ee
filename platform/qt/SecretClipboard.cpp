#include "platform/qt/SecretClipboard.h"

#include "platform/qt/QtText.h"

#include <QClipboard>
#include <QGuiApplication>

namespace velkrin {

bool SecretClipboard::put(std::string_view secret)
{
    auto *data = new QMimeData;
    data->setText(toQString(secret));
    data->setData(QStringLiteral("x-kde-passwordManagerHint"), QByteArrayLiteral("secret"));
    data->setData(QStringLiteral("application/x-copyq-hidden"), QByteArrayLiteral("1"));
    QGuiApplication::clipboard()->setMimeData(data); // takes ownership
    m_copied = data;
    return true;
}

bool SecretClipboard::stillOurs() const
{
    return m_copied && QGuiApplication::clipboard()->mimeData() == m_copied.data();
}

void SecretClipboard::clear()
{
    // Qt keeps the text in its own buffers (and the display server's), out
    // of reach: replacing it is all this host can do.
    if (stillOurs())
        QGuiApplication::clipboard()->setText(QString());
    m_copied.clear();
}

} // namespace velkrin
