#include "DisplayCheck.h"

#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace velkrin {

namespace {

struct HeldMessage {
    QtMsgType type;
    std::string category;
    QString text;
};

std::vector<HeldMessage> held;
QtMessageHandler previous = nullptr;

void holdingHandler(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    const bool platform = context.category && std::strncmp(context.category, "qt.qpa", 6) == 0;
    if (type == QtFatalMsg && text.contains(QLatin1String("platform plugin"))) {
        QString reason = held.empty() ? text.section(u'.', 0, 0) : held.front().text;
        if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
            qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            reason = QStringLiteral("neither DISPLAY nor WAYLAND_DISPLAY is set");
        std::fprintf(stderr, "velkrin: no display to open the window on (%s)\n", qPrintable(reason.simplified()));
        std::fflush(stderr);
        std::_Exit(1);
    }
    if (platform && type != QtFatalMsg)
        held.push_back({type, context.category, text});
    else
        previous(type, context, text);
}

} // namespace

void holdPlatformMessages()
{
    previous = qInstallMessageHandler(holdingHandler);
}

void releasePlatformMessages()
{
    qInstallMessageHandler(previous);
    for (const HeldMessage &message : held)
        previous(message.type, QMessageLogContext(nullptr, 0, nullptr, message.category.c_str()), message.text);
    held.clear();
}

} // namespace velkrin
