#include "DisplayCheck.h"
#include "platform/HostServices.h"
#include "platform/SodiumRandomSource.h"
#include "platform/TerminationRequest.h"
#include "window/Form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    velkrin::holdPlatformMessages();
    QApplication app(argc, argv);
    velkrin::releasePlatformMessages();
    QApplication::setApplicationName(QStringLiteral("Velkrin"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/velkrin.png")));
    // The desktop entry's id: Wayland compositors match the window to it.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.velkrin.Velkrin"));

    velkrin::SodiumRandomSource random;
    velkrin::Form1 form(velkrin::HostServices::system(random));

    // A session logging out ends the program as closing its window does (an
    // open warning box belongs to the window and closes with it).
    velkrin::TerminationRequest termination;
    QObject::connect(&termination, &velkrin::TerminationRequest::requested, &form, &QWidget::close);

    form.raiseLoad();
    form.show();
    return QApplication::exec();
}
