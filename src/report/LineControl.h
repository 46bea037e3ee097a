#pragma once

#include "report/Control.h"

#include <QColor>

namespace report {

// A horizontal line across the middle of the control's rectangle.
class LineControl : public Control
{
public:
    using Control::Control;

    void lay(const LayoutContext& context, std::vector<PageItem>& items) const override;

    QColor penColor = Qt::black;
    // Zero is one device pixel.
    Length penWidth;
};

} // namespace report
