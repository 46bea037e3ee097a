#pragma once

#include "report/Length.h"

#include <QString>

namespace report {

class DataSource;
class TextMetrics;

// Where a control is being laid out: the top left corner of its band on the page, the band's
// width, the current row (none for a report printed without rows) and the page.
struct LayoutContext
{
    Length originX;
    Length originY;
    Length bandWidth;
    const DataSource* row = nullptr;
    const TextMetrics* metrics = nullptr;
    int pageNumber = 1;
    QString title;
};

} // namespace report
