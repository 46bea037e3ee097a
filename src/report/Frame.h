#pragma once

#include "report/Length.h"

#include <QColor>

namespace report {

// The frame of a band or control, drawn inside its rectangle.
struct Frame
{
    bool left = false;
    bool top = false;
    bool right = false;
    bool bottom = false;
    QColor color = Qt::black;
    Length width = Length::points(1);

    bool any() const { return left || top || right || bottom; }
    static Frame all(const QColor& color, Length width)
    {
        return Frame {true, true, true, true, color, width};
    }
    bool operator==(const Frame&) const = default;
};

} // namespace report
