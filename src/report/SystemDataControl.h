#pragma once

#include "report/TextControl.h"

namespace report {

// Report data printed on the page itself at the end of every page: the report's title or the
// page number. Opaque and centred on its design box unless told otherwise.
class SystemDataControl : public TextControl
{
public:
    enum class Kind { Title, PageNumber };

    SystemDataControl(LengthRect rect, Kind kind)
        : TextControl(rect)
        , kind(kind)
    {
        alignment = Alignment::Center;
        transparent = false;
    }

    Kind kind;

protected:
    std::optional<QString> text(const LayoutContext& context) const override
    {
        return kind == Kind::Title ? context.title : QString::number(context.pageNumber);
    }
};

} // namespace report
