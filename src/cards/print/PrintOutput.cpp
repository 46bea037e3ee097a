#include "PrintOutput.h"

#include "PrintOffsets.h"
#include "data/Error.h"
#include "data/OutputFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <filesystem>
#include <system_error>

namespace cards {
namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("cards", text);
}

data::Error cannotWrite(const QString& path, const QString& reason)
{
    return data::Error(
        tr("Cannot write the file %1: %2").arg(QDir::toNativeSeparators(path), reason));
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
    data::writePdf(withPdfSuffix(*fileName), render);
    return true;
}

void printToPdfFile(QPrinter& printer, const data::Answers::Render& render)
{
    const QString target = withPdfSuffix(printer.outputFileName());
    data::checkOutput(target);
    QTemporaryFile part(target + QStringLiteral(".XXXXXX"));
    if (!part.open())
        throw cannotWrite(target, part.errorString());
    part.close(); // the printer writes it by name
    printer.setOutputFileName(part.fileName());
    render(&printer);
    if (QFileInfo(part.fileName()).size() == 0)
        throw cannotWrite(target, tr("nothing was written"));
    std::error_code error;
    std::filesystem::rename(part.fileName().toStdString(), target.toStdString(), error);
    if (error)
        throw cannotWrite(target, QString::fromLocal8Bit(error.message()));
    part.setAutoRemove(false);
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
