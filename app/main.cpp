#include "platform/HostServices.h"
#include "platform/SodiumRandomSource.h"
#include "platform/TerminationRequest.h"
#include "window/Form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velkrin"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/velkrin.png")));
    // The desktop entry's id: Wayland compositors match the window to it.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.velkrin.Velkrin"));

    velkrin::SodiumRandomSource random;
    velkrin::Form1 form(velkrin::HostServices::system(random));

    // A session logging out ends the program as closing its window does; quit
    // as well, since an open warning box would keep the program running.
    velkrin::TerminationRequest termination;
    QObject::connect(&termination, &velkrin::TerminationRequest::requested, &form, [&form] {
        form.close();
        QCoreApplication::quit();
    });

    form.raiseLoad();
    form.show();
    return QApplication::exec();
}
