// Fitting a text into its limit: the font it is drawn in and the clip of what still sticks out.
#include "TextControl.h"
#include "report/TextMetrics.h"

#include <algorithm>
#include <cmath>

namespace report {
namespace {

// What the lines cover on the page.
struct Extent
{
    Length left;
    Length top;
    Length right;
    Length bottom;
};

// The point the text grows from: its left edge, right edge or centre.
Length anchorOf(const Extent& extent, TextControl::Alignment alignment)
{
    switch (alignment) {
    case TextControl::Alignment::Left:
        break;
    case TextControl::Alignment::Right:
        return extent.right;
    case TextControl::Alignment::Center:
        return extent.left + (extent.right - extent.left) / 2;
    }
    return extent.left;
}

// The limit, narrowed by the keep-out rectangles beside the anchor that reach the lines'
// height.
LengthRect roomFor(const Extent& extent, Length anchor, const LengthRect& limit,
                   const std::vector<LengthRect>& keepOut)
{
    Length left = limit.left;
    Length right = limit.right();
    for (const LengthRect& area : keepOut) {
        if (area.width <= Length() || area.height <= Length() || area.top >= extent.bottom
            || area.bottom() <= extent.top)
            continue;
        if (area.right() <= anchor)
            left = std::max(left, area.right());
        else if (area.left >= anchor)
            right = std::min(right, area.left);
    }
    return {left, limit.top, std::max(Length(), right - left), limit.height};
}

bool inside(const Extent& extent, const LengthRect& room)
{
    return extent.left >= room.left && extent.right <= room.right() && extent.top >= room.top
        && extent.bottom <= room.bottom();
}

// How much smaller the text must get to fit the room from its anchor, as a factor.
double shrinkFactor(const Extent& extent, Length anchor, const LengthRect& room,
                    TextControl::Alignment alignment)
{
    Length across;
    switch (alignment) {
    case TextControl::Alignment::Left:
        across = room.right() - extent.left;
        break;
    case TextControl::Alignment::Right:
        across = extent.right - room.left;
        break;
    case TextControl::Alignment::Center:
        across = std::min(anchor - room.left, room.right() - anchor) * 2;
        break;
    }
    const Length down = room.bottom() - extent.top;
    if (across <= Length() || down <= Length())
        return 0;
    const double wide = double((extent.right - extent.left).micrometres());
    const double tall = double((extent.bottom - extent.top).micrometres());
    return std::min(wide > 0 ? double(across.micrometres()) / wide : 1.0,
                    tall > 0 ? double(down.micrometres()) / tall : 1.0);
}

} // namespace

void TextControl::layFitted(const LayoutContext& context, const QStringList& lines,
                            std::vector<PageItem>& items) const
{
    // A smaller font keeps the first line's baseline, so that the text stays on its line.
    const TextMetrics& metrics = *context.metrics;
    const Length baseline = metrics.ascent(font);
    const auto placeIn = [&](const QFont& smaller) {
        Placed result = place(context, smaller, lines);
        result.box.top += baseline - metrics.ascent(smaller);
        return result;
    };
    QFont drawn = font;
    Placed placed = place(context, drawn, lines);
    const auto extentOf = [&](const Placed& at) -> std::optional<Extent> {
        std::optional<Extent> result;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (lines[i].isEmpty())
                continue;
            const Length width = at.widths[std::size_t(i)];
            Length left = at.box.left;
            if (alignment == Alignment::Right)
                left = at.box.right() - width;
            else if (alignment == Alignment::Center)
                left = at.box.centreX() - width / 2;
            const Extent line {left, at.box.top + at.lineHeight * i, left + width,
                               at.box.top + at.lineHeight * (i + 1)};
            if (!result)
                result = line;
            result->left = std::min(result->left, line.left);
            result->right = std::max(result->right, line.right);
            result->bottom = line.bottom;
        }
        return result;
    };
    std::optional<Extent> extent = extentOf(placed);
    if (!extent) {
        addLines(placed, lines, drawn, std::nullopt, items);
        return;
    }

    const LengthRect limit = fit->limit.translated(context.originX, context.originY);
    std::vector<LengthRect> keepOut;
    for (const LengthRect& area : fit->keepOut)
        keepOut.push_back(area.translated(context.originX, context.originY));
    Length anchor = anchorOf(*extent, alignment);
    LengthRect room = roomFor(*extent, anchor, limit, keepOut);

    const bool sizedInPoints = drawn.pointSizeF() > 0;
    int tenths = sizedInPoints ? int(std::lround(drawn.pointSizeF() * 10)) : 0;
    const int minTenths = int(std::lround(fit->minPoints * 10));
    while (sizedInPoints && tenths > minTenths && !inside(*extent, room)) {
        const double factor = shrinkFactor(*extent, anchor, room, alignment);
        tenths = std::clamp(int(std::floor(tenths * factor)), minTenths, tenths - 1);
        drawn.setPointSizeF(tenths / 10.0);
        placed = placeIn(drawn);
        extent = extentOf(placed);
        anchor = anchorOf(*extent, alignment);
        room = roomFor(*extent, anchor, limit, keepOut);
    }
    addLines(placed, lines, drawn,
             inside(*extent, room) ? std::nullopt : std::optional<LengthRect>(room), items);
}

} // namespace report
