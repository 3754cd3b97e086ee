#include "platform/qt/QtPrinterPort.h"

#include "platform/HostError.h"
#include "platform/SecureWipe.h"
#include "platform/qt/QtText.h"

#include <QFontMetricsF>
#include <QPrinterInfo>
#include <QtMath>

#ifdef VELKRIN_HAS_CUPS
#include <cups/cups.h>
#endif

namespace velkrin {

namespace {

[[noreturn]] void printerError(FailureCause cause, const QString &printer = {}, const QString &detail = {})
{
    throw HostError(HostErrorKind::Printer, cause, toStdString(printer), toStdString(detail));
}

// A copy of (part of) a password, wiped when it goes.
struct WipedText {
    QString text;
    ~WipedText() { secureWipe(text.data(), static_cast<size_t>(text.size()) * sizeof(QChar)); }
};

} // namespace

std::unique_ptr<QtPrinterPort> QtPrinterPort::defaultPrinter()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        printerError(FailureCause::NoDefaultPrinter);
    return std::make_unique<QtPrinterPort>(std::make_unique<QPrinter>(info, QPrinter::HighResolution));
}

QtPrinterPort::QtPrinterPort(std::unique_ptr<QPrinter> printer) : m_printer(std::move(printer)) {}

QtPrinterPort::~QtPrinterPort()
{
    if (m_painter.isActive() && !m_finished) {
        m_printer->abort();
        m_painter.end();
    }
}

void QtPrinterPort::begin(std::string_view documentName, const PrintFont &font)
{
    QStringList faces;
    for (std::string_view face : font.faces)
        faces << toQString(face);
    QFont qfont;
    qfont.setFamilies(faces);
    qfont.setStyleHint(QFont::SansSerif);
    qfont.setPointSizeF(font.points);
    qfont.setBold(font.bold);
    // One glyph per character, as GDI draws them: a ligature would print
    // "fi" or "ffl" as a single sign, hard to read back as a password.
    qfont.setStyleStrategy(QFont::PreferNoShaping);
    m_printer->setDocName(toQString(documentName));
    if (!m_painter.begin(m_printer.get()))
        printerError(FailureCause::JobRefused, m_printer->printerName());
    m_painter.setFont(qfont);
}

int QtPrinterPort::pageWidth() const
{
    return m_printer->width();
}

int QtPrinterPort::pageHeight() const
{
    return m_printer->height();
}

int QtPrinterPort::lineHeight() const
{
    return qCeil(QFontMetricsF(m_painter.font(), m_printer.get()).lineSpacing());
}

int QtPrinterPort::textWidth(std::string_view text)
{
    const WipedText wide{toQString(text)};
    return qCeil(QFontMetricsF(m_painter.font(), m_printer.get()).horizontalAdvance(wide.text));
}

void QtPrinterPort::drawLine(int x, int y, std::string_view text)
{
    const WipedText wide{toQString(text)};
    m_painter.drawText(QPointF(x, y + QFontMetricsF(m_painter.font(), m_printer.get()).ascent()), wide.text);
}

void QtPrinterPort::newPage()
{
    if (!m_printer->newPage())
        printerError(FailureCause::PageRefused, m_printer->printerName());
}

void QtPrinterPort::end()
{
    m_finished = true;
    if (!m_painter.end() || m_printer->printerState() == QPrinter::Error)
        printerError(FailureCause::DocumentRefused);
#ifdef VELKRIN_HAS_CUPS
    // Qt hands the finished document to CUPS last thing in end() and drops
    // CUPS's answer, so a queue that rejects jobs, a queue removed meanwhile
    // or a scheduler gone away all look like success. libcups keeps the
    // answer to this thread's last request: a job that did not reach the
    // queue shows there. A queue that is merely stopped accepts and holds the
    // job, which is the printer's business.
    if (m_printer->outputFormat() == QPrinter::NativeFormat && cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE)
        printerError(FailureCause::JobRefused, m_printer->printerName(), QString::fromUtf8(cupsLastErrorString()));
#endif
}

} // namespace velkrin
