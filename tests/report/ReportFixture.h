#pragma once

#include "report/Page.h"
#include "report/Report.h"
#include "report/ReportLayout.h"
#include "report/TableSource.h"
#include "report/TextMetrics.h"

#include <ostream>
#include <utility>
#include <vector>

// Readable failure messages for texts.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << text.toStdString();
}

// Small builders shared by the report engine tests.
namespace fixture {

using report::Length;
using report::mm;

// Rows with one column "name" holding "row 1", "row 2", ...
inline report::TableSource rows(int count)
{
    std::vector<QStringList> data;
    for (int i = 1; i <= count; ++i)
        data.push_back({QStringLiteral("row %1").arg(i)});
    return report::TableSource({QStringLiteral("name")}, std::move(data));
}

// Top left corners, in tenths of a millimetre, of the fills of a given size on a page.
inline std::vector<std::pair<double, double>> bandsOf(const report::Page& page, Length width,
                                                      Length height)
{
    std::vector<std::pair<double, double>> result;
    for (const auto& fill : page.all<report::FillItem>()) {
        if (fill.rect.width == width && fill.rect.height == height)
            result.emplace_back(fill.rect.left.toTenths(), fill.rect.top.toTenths());
    }
    return result;
}

inline const report::TextMetrics& metrics()
{
    static const report::TextMetrics shared;
    return shared;
}

inline std::vector<report::Page> layOut(report::Report& report)
{
    return report::ReportLayout(metrics()).pages(report);
}

} // namespace fixture
