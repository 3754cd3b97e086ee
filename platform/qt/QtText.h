#pragma once

#include <QString>
#include <QStringEncoder>
#include <string>
#include <string_view>

namespace velkrin {

// The program's text is UTF-8 in standard strings; Qt's is UTF-16. These are
// the only crossings.
inline QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Encoded straight into the string's own buffer: QString::toStdString() goes
// through a QByteArray that would be freed with a password in it.
inline std::string toStdString(const QString &text)
{
    QStringEncoder utf8(QStringEncoder::Utf8);
    std::string out(static_cast<std::size_t>(utf8.requiredSpace(text.size())), '\0');
    char *end = utf8.appendToBuffer(out.data(), text);
    out.resize(static_cast<std::size_t>(end - out.data()));
    return out;
}

} // namespace velkrin
