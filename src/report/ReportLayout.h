#pragma once

#include "report/Page.h"

#include <functional>
#include <vector>

namespace report {

class Report;
class TextMetrics;

// The layout pass: runs the rows of a report's data source and flows its bands down each
// column, then across, then onto the next page. Positions of bands are whole tenths of a
// millimetre from the paper's top left corner.
class ReportLayout
{
public:
    using PageSink = std::function<void(Page&& page)>;

    explicit ReportLayout(const TextMetrics& metrics)
        : m_metrics(metrics)
    { }

    // Hands each page to the sink as soon as it is complete, so only one page is held at a
    // time. Returns the number of pages (at least one).
    int run(Report& report, const PageSink& sink) const;
    std::vector<Page> pages(Report& report) const;

    // How far apart the columns are: the detail band's width (or, without one, an equal share
    // of the width between the margins rounded down) plus the column space.
    static Length columnStep(const Report& report);

private:
    const TextMetrics& m_metrics;
};

} // namespace report
