#include "ReportLayout.h"

#include "report/DataSource.h"
#include "report/PageTransform.h"
#include "report/Report.h"

namespace report {
namespace {

// The state of one run: where the next band goes and the page being filled.
class Flow
{
public:
    Flow(Report& report, const TextMetrics& metrics, const ReportLayout::PageSink& sink)
        : m_report(report)
        , m_setup(report.page)
        , m_metrics(metrics)
        , m_sink(sink)
        , m_step(ReportLayout::columnStep(report))
    {
        startPage(1);
    }

    void printRow(const DataSource* row)
    {
        m_row = row;
        if (Band* detail = m_report.detailBand())
            printBand(*detail);
        if (Band* subDetail = m_report.subDetailBand())
            printBand(*subDetail);
    }

    int finish()
    {
        finishPage();
        return m_page.number;
    }

private:
    void startPage(int number)
    {
        m_page = Page {number, m_setup.paperWidth, m_setup.paperHeight, {}};
        m_pageUsed = false;
        m_column = 0;
        m_x = m_setup.leftMargin.roundedToTenth();
        m_y = m_setup.topMargin.roundedToTenth();
    }

    void finishPage()
    {
        LayoutContext context = contextAt(Length(), Length(), m_setup.paperWidth);
        context.row = nullptr;
        for (const auto& control : m_report.pageControls())
            control->lay(context, m_page.items);
        m_sink(std::move(m_page));
    }

    void nextColumn()
    {
        if (++m_column >= std::max(1, m_setup.columns)) {
            const int number = m_page.number;
            finishPage();
            startPage(number + 1);
            return;
        }
        m_x += m_step;
        m_y = m_setup.topMargin.roundedToTenth();
    }

    LayoutContext contextAt(Length x, Length y, Length bandWidth) const
    {
        return LayoutContext {x, y, bandWidth, m_row, &m_metrics, m_page.number, m_report.title};
    }

    void printBand(Band& band)
    {
        bool print = true;
        if (band.beforePrint)
            band.beforePrint(band, print);
        if (!print)
            return;
        if (m_setup.fitBands) {
            printFitted(band);
        } else {
            printFlowing(band);
        }
        if (Band* child = band.child())
            printBand(*child);
    }

    void printFlowing(Band& band)
    {
        const Length height = band.height.roundedToTenth();
        const Length bottom = m_setup.paperHeight - m_setup.bottomMargin;
        const Length space = bottom - m_setup.topMargin.roundedToTenth();
        if (height > bottom - m_y && height <= space)
            nextColumn();

        layBand(band, m_x, m_y, m_page.items);
        m_y += height;
    }

    // The band laid at the paper's top left corner, then scaled by the larger of the two
    // factors that make its fitted area (the whole band unless set) as wide and as high as the
    // paper, and that area centred.
    void printFitted(const Band& band)
    {
        if (m_pageUsed) {
            const int number = m_page.number;
            finishPage();
            startPage(number + 1);
        }
        m_pageUsed = true;
        std::vector<PageItem> items;
        layBand(band, Length(), Length(), items);
        const LengthRect area
            = m_setup.fitArea.value_or(LengthRect {Length(), Length(), band.width, band.height});
        double factor = 1;
        if (area.width > Length() && area.height > Length())
            factor = std::max(m_setup.paperWidth.toMm() / area.width.toMm(),
                              m_setup.paperHeight.toMm() / area.height.toMm());
        const Length dx = Length::mm((m_setup.paperWidth.toMm() - area.width.toMm() * factor) / 2
                                     - area.left.toMm() * factor);
        const Length dy = Length::mm((m_setup.paperHeight.toMm() - area.height.toMm() * factor) / 2
                                     - area.top.toMm() * factor);
        transformItems(items, factor, dx, dy);
        m_page.items.insert(m_page.items.end(), std::make_move_iterator(items.begin()),
                            std::make_move_iterator(items.end()));
    }

    void layBand(const Band& band, Length x, Length y, std::vector<PageItem>& items) const
    {
        const LengthRect rect {x, y, band.width, band.height};
        if (band.color.isValid() && band.color.alpha() > 0)
            items.push_back(FillItem {rect, band.color});
        const LayoutContext context = contextAt(x, y, band.width);
        for (const auto& control : band.controls())
            control->lay(context, items);
        if (band.frame.any())
            items.push_back(FrameItem {rect, band.frame});
    }

    Report& m_report;
    const PageSetup& m_setup;
    const TextMetrics& m_metrics;
    const ReportLayout::PageSink& m_sink;
    const Length m_step;
    const DataSource* m_row = nullptr;
    Page m_page;
    int m_column = 0;
    bool m_pageUsed = false;
    Length m_x;
    Length m_y;
};

} // namespace

Length ReportLayout::columnStep(const Report& report)
{
    const PageSetup& setup = report.page;
    if (const Band* detail = report.detailBand())
        return detail->width.roundedToTenth() + setup.columnSpace;
    const int columns = std::max(1, setup.columns);
    const Length usable = setup.paperWidth - setup.leftMargin - setup.rightMargin
        - setup.columnSpace * (columns - 1);
    return (usable / columns).flooredToTenth() + setup.columnSpace;
}

int ReportLayout::run(Report& report, const PageSink& sink) const
{
    Flow flow(report, m_metrics, sink);
    DataSource* source = report.dataSource();
    if (source)
        source->first();
    if (!source || source->atEnd()) {
        if (report.page.printIfEmpty)
            flow.printRow(nullptr);
    } else {
        for (; !source->atEnd(); source->next())
            flow.printRow(source);
    }
    return flow.finish();
}

std::vector<Page> ReportLayout::pages(Report& report) const
{
    std::vector<Page> result;
    run(report, [&](Page&& page) { result.push_back(std::move(page)); });
    return result;
}

} // namespace report
