#include "platform/qt/WindowFonts.h"

#include <QFontDatabase>

namespace velkrin {

QString WindowFonts::family()
{
    static const QString chosen = [] {
        // A family that is not installed is not scalable either.
        for (const QString &candidate : {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans")}) {
            if (QFontDatabase::isSmoothlyScalable(candidate))
                return candidate;
        }
        return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    }();
    return chosen;
}

QFont WindowFonts::font(int pixels, bool bold)
{
    QFont f(family());
    f.setPixelSize(pixels);
    f.setWeight(bold ? QFont::Bold : QFont::Normal);
    return f;
}

} // namespace velkrin
