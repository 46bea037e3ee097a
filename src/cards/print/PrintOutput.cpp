#include "PrintOutput.h"

#include "PrintOffsets.h"
#include "data/Error.h"
#include "report/PdfWriter.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

namespace cards {
namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("cards", text);
}

QString pdfFilter()
{
    return tr("PDF files (*.pdf)");
}

} // namespace

QString withPdfSuffix(const QString& fileName)
{
    if (QFileInfo(fileName).suffix().compare(QStringLiteral("pdf"), Qt::CaseInsensitive) == 0)
        return fileName;
    return fileName + QStringLiteral(".pdf");
}

bool savePagesAsPdf(QWidget* parent, const data::Answers::Render& render)
{
    // Proposed in the user's documents, never beside the program and its database.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const std::optional<QString> fileName
        = data::answers().saveFileName(parent, pdfFilter(), folder);
    if (!fileName || fileName->isEmpty())
        return false;
    report::writePdf(withPdfSuffix(*fileName), render);
    return true;
}

void printToPdfFile(QPrinter& printer, const data::Answers::Render& render)
{
    const QString target = withPdfSuffix(printer.outputFileName());
    std::optional<std::pair<int, int>> range;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() >= 1)
        range = std::pair(printer.fromPage(), std::max(printer.fromPage(), printer.toPage()));
    report::writePdf(target, render, range);
    printer.setOutputFileName(target);
}

bool printReportPages(QWidget* parent, const data::Answers::Render& render, int pageCount)
{
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        data::showInformation(tr("No printer is installed. The pages are saved as a PDF file."));
        return savePagesAsPdf(parent, shiftedForPrinter(render, QString()));
    }
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, parent);
    dialog.setOptions(
        QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintCollateCopies
        | QAbstractPrintDialog::PrintShowPageSize | QAbstractPrintDialog::PrintToFile);
    dialog.setMinMax(1, std::max(1, pageCount));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    // Each printer's own offset; the dialog's print to file is the PDF writer's.
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        printToPdfFile(printer, shiftedForPrinter(render, QString()));
    else
        shiftedForPrinter(render, printer.printerName())(&printer);
    return true;
}

} // namespace cards
