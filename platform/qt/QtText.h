#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace velkrin {

// The program's text is UTF-8 in standard strings; Qt's is UTF-16. These are
// the only crossings.
inline QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string toStdString(const QString &text)
{
    return text.toStdString();
}

} // namespace velkrin
