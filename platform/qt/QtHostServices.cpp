#include "platform/HostServices.h"

#include "platform/QtPrinterPort.h"

#include <QLocale>
#include <QMessageBox>

namespace velkrin {

HostServices HostServices::system(RandomSource &random)
{
    HostServices services;
    services.random = &random;
    services.openPrinter = []() -> std::unique_ptr<PrinterPort> { return QtPrinterPort::defaultPrinter(); };
    // Opened once, at start-up, so the list goes to this folder whatever
    // becomes of its name later.
    services.executableDirectory = [folder = FolderHandle::executableFolder()] { return folder; };
    services.today = [] { return QDate::currentDate(); };
    services.showWarning = [](QWidget *parent, const QString &message) {
        QMessageBox::warning(parent, QStringLiteral("Velkrin"), message);
    };
    return services;
}

QString shortDateText(const QDate &date)
{
    // The default locale is the system's; the program never changes it.
    return QLocale().toString(date, QLocale::ShortFormat);
}

} // namespace velkrin
