#include "DisplayCheck.h"
#include "QtHost.h"
#include "platform/linux/PosixSaveFolder.h"
#include "platform/linux/ProcessPrivacy.h"
#include "platform/linux/SodiumRandomSource.h"
#include "platform/linux/TerminationRequest.h"
#include "window/Form1Layout.h"

#include <QApplication>
#include <QSocketNotifier>

int main(int argc, char *argv[])
{
    velkrin::keepMemoryPrivate();
    velkrin::surviveFileSizeLimit();
    velkrin::holdPlatformMessages();
    QApplication app(argc, argv);
    velkrin::releasePlatformMessages();
    QApplication::setApplicationName(QString::fromUtf8(velkrin::kForm1Title.data(), velkrin::kForm1Title.size()));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/velkrin.png")));
    // The desktop entry's id: Wayland compositors match the window to it.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.velkrin.Velkrin"));

    velkrin::SodiumRandomSource random;
    // Opened once, at start-up, so the list goes to this folder whatever
    // becomes of its name later.
    velkrin::PosixSaveFolder folder(velkrin::FolderHandle::executableFolder());
    velkrin::QtHostChoices choices{.random = random, .executableFolder = folder};
#ifdef VELKRIN_QUICK_CLEAR
    // The end-to-end tests' build: they cannot wait the full delay.
    choices.clipboardClearAfter = velkrin::SecretCopy::kClearAfterInTests;
#endif
    velkrin::QtHost host(std::move(choices));
    velkrin::Form1Window &form = host.window();

    // A session logging out ends the program as closing its window does (an
    // open warning box belongs to the window and closes with it).
    velkrin::TerminationRequest termination;
    if (termination.descriptor() >= 0) {
        auto *notifier = new QSocketNotifier(termination.descriptor(), QSocketNotifier::Read, &form);
        QObject::connect(notifier, &QSocketNotifier::activated, &form, [&termination, &form] {
            if (termination.drain())
                form.close();
        });
    }

    host.load();
    form.show();
    return QApplication::exec();
}
