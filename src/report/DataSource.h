#pragma once

#include <QString>

namespace report {

// The rows a report prints, read through a cursor: the report moves it from the first row to
// the end and asks the current row for the display text of a column.
class DataSource
{
public:
    virtual ~DataSource() = default;

    virtual void first() = 0;
    virtual void next() = 0;
    // True when there is no current row (past the last one, or no rows at all).
    virtual bool atEnd() const = 0;
    virtual bool hasColumn(const QString& column) const = 0;
    // The text of a column of the current row; only asked when a row is current and the
    // column exists.
    virtual QString displayText(const QString& column) const = 0;
};

} // namespace report
