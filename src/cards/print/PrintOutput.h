#pragma once

#include "data/Answers.h"

#include <QString>

class QPrinter;
class QWidget;

namespace cards {

// The name with ".pdf" added unless it already ends so (in any letter case).
QString withPdfSuffix(const QString& fileName);

// The preview's Print command: the print dialog (printer, copies, page range from 1 to
// pageCount), then the pages on the chosen printer. The dialog's print-to-file choice writes
// a PDF that replaces an earlier file only when it was written whole. With no printer
// installed the user is told so and chooses a PDF file instead. The pages are shifted by the
// kept offset of the printer (of the PDF writer for a file). Throws data::Error with the
// reason when the pages cannot be printed or written. True when the pages went out, false when
// the user cancelled.
bool printReportPages(QWidget* parent, const data::Answers::Render& render, int pageCount);

// Writes the pages a printer was set to print into a PDF file there (".pdf" added) with the PDF
// writer, only those of the printer's page range: into a new file beside the one named, which
// takes its place only when it was written whole.
void printToPdfFile(QPrinter& printer, const data::Answers::Render& render);

// Asks for a PDF file name through the answers and writes the pages there (".pdf" added when
// the name lacks it). Nothing happens on cancel; true when the file was written.
bool savePagesAsPdf(QWidget* parent, const data::Answers::Render& render);

} // namespace cards
