#pragma once

#include "cards/Page.h"
#include "cards/Report.h"
#include "cards/ReportLayout.h"
#include "cards/TableSource.h"
#include "cards/TextMetrics.h"

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

using cards::Length;
using cards::mm;

// Rows with one column "name" holding "row 1", "row 2", ...
inline cards::TableSource rows(int count)
{
    std::vector<QStringList> data;
    for (int i = 1; i <= count; ++i)
        data.push_back({QStringLiteral("row %1").arg(i)});
    return cards::TableSource({QStringLiteral("name")}, std::move(data));
}

// Top left corners, in tenths of a millimetre, of the fills of a given size on a page.
inline std::vector<std::pair<double, double>> bandsOf(const cards::Page& page, Length width,
                                                      Length height)
{
    std::vector<std::pair<double, double>> result;
    for (const auto& fill : page.all<cards::FillItem>()) {
        if (fill.rect.width == width && fill.rect.height == height)
            result.emplace_back(fill.rect.left.toTenths(), fill.rect.top.toTenths());
    }
    return result;
}

inline const cards::TextMetrics& metrics()
{
    static const cards::TextMetrics shared;
    return shared;
}

inline std::vector<cards::Page> layOut(cards::Report& report)
{
    return cards::ReportLayout(metrics()).pages(report);
}

} // namespace fixture
