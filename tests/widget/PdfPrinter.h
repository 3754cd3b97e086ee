#pragma once

#include "platform/qt/QtPrinterPort.h"

#include <QPrinter>
#include <QString>
#include <memory>

namespace velkrin {

// A print job that writes a PDF file, for reading the page back.
inline std::unique_ptr<PrinterPort> pdfPrinter(const QString &path)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    return std::make_unique<QtPrinterPort>(std::move(printer));
}

} // namespace velkrin
