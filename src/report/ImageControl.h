#pragma once

#include "report/Control.h"
#include "report/Frame.h"

#include <QImage>

namespace report {

// A picture stretched to the control's rectangle; without a picture only the frame is drawn.
class ImageControl : public Control
{
public:
    using Control::Control;

    void lay(const LayoutContext& context, std::vector<PageItem>& items) const override;

    QImage picture;
    Frame frame;
};

} // namespace report
