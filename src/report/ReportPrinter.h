#pragma once

class QPagedPaintDevice;

namespace report {

class Report;
class TextMetrics;

// Prints a report onto a printer or PDF writer: sets the device's paper to the report's,
// without margins (see setPaper; a device that refuses it gets nothing), then lays out and
// draws one page at a time, so memory holds one page whatever the number of rows.
class ReportPrinter
{
public:
    // Returns the number of pages printed.
    static int print(Report& report, QPagedPaintDevice& device, const TextMetrics& metrics);
};

} // namespace report
