#include "platform/WindowFonts.h"

#include <QFile>
#include <QFontDatabase>

namespace velkrin {

QString WindowFonts::family()
{
    static const QString chosen = [] {
        const QString wine = QStringLiteral("/usr/share/wine/fonts/ms_sans_serif.ttf");
        if (QFile::exists(wine)) {
            const int id = QFontDatabase::addApplicationFont(wine);
            const QStringList families = QFontDatabase::applicationFontFamilies(id);
            if (!families.isEmpty())
                return families.first();
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
