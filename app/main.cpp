#include "platform/HostServices.h"
#include "platform/SodiumRandomSource.h"
#include "window/Form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velkrin"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/velkrin.png")));

    velkrin::SodiumRandomSource random;
    velkrin::Form1 form(velkrin::HostServices::system(random));
    form.raiseLoad();
    form.show();
    return QApplication::exec();
}
