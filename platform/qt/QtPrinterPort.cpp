#include "platform/qt/QtPrinterPort.h"

#include "platform/HostError.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPrinterInfo>
#include <QTextLayout>

#include "platform/SecureWipe.h"
#include "platform/qt/QtText.h"

#ifdef VELKRIN_HAS_CUPS
#include <cups/cups.h>
#endif

namespace velkrin {

namespace {

[[noreturn]] void printerError(FailureCause cause, const QString &printer = {}, const QString &detail = {})
{
    throw HostError(HostErrorKind::Printer, cause, toStdString(printer), toStdString(detail));
}

} // namespace

std::unique_ptr<QtPrinterPort> QtPrinterPort::defaultPrinter()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        printerError(FailureCause::NoDefaultPrinter);
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    printer->setDocName(QStringLiteral("Velkrin password"));
    return std::make_unique<QtPrinterPort>(std::move(printer));
}

QtPrinterPort::QtPrinterPort(std::unique_ptr<QPrinter> printer)
    : m_printer(std::move(printer)), m_font(QFontDatabase::systemFont(QFontDatabase::GeneralFont))
{
    // One glyph per character: a ligature would print "fi" or "ffl" as a
    // single sign, hard to read back as a password.
    m_font.setStyleStrategy(QFont::PreferNoShaping);
}

QtPrinterPort::~QtPrinterPort()
{
    if (m_started && !m_finished) {
        m_printer->abort();
        m_painter.end();
    }
}

void QtPrinterPort::setFontSize(double points)
{
    m_font.setPointSizeF(points);
    if (m_started)
        m_painter.setFont(m_font);
}

void QtPrinterPort::setFontBold(bool bold)
{
    m_font.setBold(bold);
    if (m_started)
        m_painter.setFont(m_font);
}

void QtPrinterPort::begin()
{
    if (!m_painter.begin(m_printer.get())) {
        printerError(FailureCause::JobRefused, m_printer->printerName());
    }
    m_started = true;
    m_painter.setFont(m_font);
    m_y = 0;
}

void QtPrinterPort::printLine(std::string_view line8)
{
    QString text = toQString(line8);
    if (!m_started)
        begin();
    const QFontMetricsF metrics(m_font, m_printer.get());
    // A line wider than the page breaks at the page's edge, between any two
    // characters (a password has no spaces to break at), and the page turns
    // when full, so every character reaches the paper. Qt's text layout finds
    // the breaks with the same metrics the painter draws with.
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAnywhere);
    QTextLayout layout(text, m_font, m_printer.get());
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(m_printer->width());
        if (m_y > 0 && m_y + metrics.height() > m_printer->height()) {
            if (!m_printer->newPage())
                printerError(FailureCause::PageRefused, m_printer->printerName());
            m_y = 0;
        }
        // Coordinates start at the top-left of the printable area. The piece
        // is a copy of part of a password: wiped once drawn.
        QString piece(text.constData() + line.textStart(), line.textLength());
        m_painter.drawText(QPointF(0, m_y + metrics.ascent()), piece);
        secureWipe(piece.data(), static_cast<size_t>(piece.size()) * sizeof(QChar));
        m_y += metrics.lineSpacing();
    }
    layout.endLayout();
    secureWipe(text.data(), static_cast<size_t>(text.size()) * sizeof(QChar));
}

void QtPrinterPort::endDocument()
{
    if (!m_started)
        begin();
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
