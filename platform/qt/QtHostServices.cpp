#include "platform/qt/QtForm1Window.h"
#include "platform/qt/QtPrinterPort.h"
#include "platform/qt/QtText.h"
#include "window/UserMessages.h"

#include <QLocale>
#include <QMessageBox>

namespace velkrin {

std::unique_ptr<PrinterPort> openDefaultPrinter()
{
    return QtPrinterPort::defaultPrinter();
}

void showWarningBox(QWidget &window, const QString &message)
{
    QMessageBox::warning(&window, toQString(kMessageTitle), message);
}

QString shortDateText(const QDate &date)
{
    // The default locale is the system's; the program never changes it.
    return QLocale().toString(date, QLocale::ShortFormat);
}

} // namespace velkrin
