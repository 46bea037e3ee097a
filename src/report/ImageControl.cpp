#include "ImageControl.h"

namespace report {

void ImageControl::lay(const LayoutContext& context, std::vector<PageItem>& items) const
{
    if (!enabled)
        return;
    const LengthRect where = placed(context);
    if (source)
        items.push_back(ImageItem {where, picture, source});
    else if (!picture.isNull())
        items.push_back(ImageItem {where, picture});
    if (frame.any())
        items.push_back(FrameItem {where, frame});
}

} // namespace report
