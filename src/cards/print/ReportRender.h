#pragma once

class QPagedPaintDevice;

namespace cards {

class Report;
class TextMetrics;

// Prints a report onto a device as ReportPrinter does, except that on a printer given a page
// range only the pages within it are drawn (all are still laid out, so page numbers hold).
// Returns the number of pages drawn.
int printReport(Report& report, QPagedPaintDevice& device, const TextMetrics& metrics);

} // namespace cards
