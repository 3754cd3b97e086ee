#include "DisplayCheck.h"
#include "platform/HostServices.h"
#include "platform/SodiumRandomSource.h"
#include "platform/TerminationRequest.h"
#include "window/Form1.h"

#include <QApplication>

#include <sys/prctl.h>
#include <sys/resource.h>

namespace {

// Before any password exists: no core file on a crash, and no other process
// of the same user may attach to this one or read its memory (a process that
// is not dumpable has its /proc files owned by root). In every build: the
// sanitizers' leak check makes the process dumpable for its own helper only
// while it runs, at exit.
void keepMemoryPrivate()
{
    const rlimit noCore{0, 0};
    if (setrlimit(RLIMIT_CORE, &noCore) != 0)
        qWarning("Velkrin: could not turn core files off");
    if (prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) != 0)
        qWarning("Velkrin: could not make the process undumpable");
}

} // namespace

int main(int argc, char *argv[])
{
    keepMemoryPrivate();
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
