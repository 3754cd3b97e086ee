#include "platform/WindowFonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace velkrin {

QString WindowFonts::family()
{
    static const QString chosen = [] {
        const QStringList installed = QFontDatabase::families();
        for (const QString &candidate : {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans")}) {
            if (installed.contains(candidate) && QFontDatabase::isSmoothlyScalable(candidate))
                return candidate;
        }
        return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    }();
    return chosen;
}

QFont WindowFonts::font(double points, bool bold)
{
    QFont f(family());
    f.setPointSizeF(points);
    f.setWeight(bold ? QFont::Bold : QFont::Normal);
    return f;
}

} // namespace velkrin
