#pragma once

#include "report/Control.h"
#include "report/Frame.h"
#include "report/ImageSource.h"

#include <QImage>
#include <memory>

namespace report {

// A picture stretched to the control's rectangle; without a picture only the frame is drawn.
class ImageControl : public Control
{
public:
    using Control::Control;

    void lay(const LayoutContext& context, std::vector<PageItem>& items) const override;

    QImage picture;
    // When set, the picture's pixels come from here instead (see ImageItem).
    std::shared_ptr<const ImageSource> source;
    Frame frame;
};

} // namespace report
