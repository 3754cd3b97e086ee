#pragma once

#include "platform/FolderHandle.h"
#include "platform/PrinterPort.h"
#include "platform/RandomSource.h"

#include <QDate>
#include <QString>
#include <functional>
#include <memory>

class QWidget;

namespace velkrin {

// What the window needs from the world outside it. The program uses
// HostServices::system(); tests replace single members.
struct HostServices {
    RandomSource *random = nullptr;
    // Opens a job on the default printer; raises HostError(Printer).
    std::function<std::unique_ptr<PrinterPort>()> openPrinter;
    // Folder that holds the executable: where the list is saved.
    std::function<FolderHandle()> executableDirectory;
    std::function<QDate()> today;
    // Shows an error to the user (a warning box titled "Velkrin").
    std::function<void(QWidget *parent, const QString &message)> showWarning;

    static HostServices system(RandomSource &random);
};

// A date as the printed heading shows it: the short date format of the
// default locale, which is the system's.
QString shortDateText(const QDate &date);

} // namespace velkrin
