#pragma once

#include "report/LayoutContext.h"
#include "report/LengthRect.h"
#include "report/PageItem.h"

#include <vector>

namespace report {

// A control on a band (or on the page): its rectangle from the band's top left corner.
// A disabled control is not drawn.
class Control
{
public:
    explicit Control(LengthRect rect)
        : rect(rect)
    { }
    virtual ~Control() = default;

    // Appends the items the control draws in the given context.
    virtual void lay(const LayoutContext& context, std::vector<PageItem>& items) const = 0;

    LengthRect rect;
    bool enabled = true;

protected:
    LengthRect placed(const LayoutContext& context) const
    {
        return rect.translated(context.originX, context.originY);
    }
};

} // namespace report
