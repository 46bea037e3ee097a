#include "DataTextControl.h"

#include "report/DataSource.h"

namespace report {

std::optional<QString> DataTextControl::text(const LayoutContext& context) const
{
    const DataSource* row = context.row;
    if (column.isEmpty() || !row || row->atEnd() || !row->hasColumn(column))
        return std::nullopt;
    QString value = row->displayText(column);
    if (printHandler && !value.isEmpty())
        value = printHandler(value);
    return value;
}

} // namespace report
