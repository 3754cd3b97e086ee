#include "platform/SecretClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace velkrin {

void copySecretText(const QString &text)
{
    auto *data = new QMimeData;
    data->setText(text);
    data->setData(QStringLiteral("x-kde-passwordManagerHint"), QByteArrayLiteral("secret"));
    QGuiApplication::clipboard()->setMimeData(data); // takes ownership
}

} // namespace velkrin
