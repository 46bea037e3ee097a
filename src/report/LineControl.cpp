#include "LineControl.h"

namespace report {

void LineControl::lay(const LayoutContext& context, std::vector<PageItem>& items) const
{
    if (!enabled)
        return;
    const LengthRect where = placed(context);
    const Length y = where.top + where.height / 2;
    items.push_back(LineItem {where.left, y, where.right(), y, penColor, penWidth});
}

} // namespace report
