#pragma once

#include "report/Length.h"

namespace report {

// A rectangle on paper, from its top left corner.
struct LengthRect
{
    Length left;
    Length top;
    Length width;
    Length height;

    Length right() const { return left + width; }
    Length bottom() const { return top + height; }
    Length centreX() const { return left + width / 2; }
    LengthRect translated(Length dx, Length dy) const
    {
        return {left + dx, top + dy, width, height};
    }
    bool operator==(const LengthRect&) const = default;
};

} // namespace report
