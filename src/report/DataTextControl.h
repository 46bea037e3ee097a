#pragma once

#include "report/TextControl.h"

#include <functional>

namespace report {

// The text of one column of the current row. Prints nothing without a column, when the rows
// have no such column, or when there is no row.
class DataTextControl : public TextControl
{
public:
    // Given a non-empty column text, returns the text to print instead.
    using PrintHandler = std::function<QString(const QString&)>;

    DataTextControl(LengthRect rect, QString column = {})
        : TextControl(rect)
        , column(std::move(column))
    { }

    QString column;
    PrintHandler printHandler;

protected:
    std::optional<QString> text(const LayoutContext& context) const override;
};

} // namespace report
