#pragma once

class QPagedPaintDevice;

namespace report {
class Report;
class TextMetrics;
} // namespace report

namespace cards {

// Prints a report onto a device as ReportPrinter does, except that on a printer given a page
// range only the pages within it are drawn (all are still laid out, so page numbers hold).
// Returns the number of pages drawn.
int printReport(report::Report& report, QPagedPaintDevice& device,
                const report::TextMetrics& metrics);

} // namespace cards
