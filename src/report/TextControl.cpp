#include "TextControl.h"

#include "report/TextMetrics.h"

#include <algorithm>

namespace report {

TextControl::TextControl(LengthRect rect)
    : Control(rect)
    , font(QStringLiteral("Arial"), 10)
{ }

QStringList TextControl::splitLines(const QString& text)
{
    QString cleaned = text;
    cleaned.remove(u'\n');
    return cleaned.split(u'\r');
}

void TextControl::lay(const LayoutContext& context, std::vector<PageItem>& items) const
{
    if (!enabled)
        return;
    const std::optional<QString> value = text(context);
    if (!value)
        return;
    const QStringList lines = splitLines(*value);
    if (fit) {
        layFitted(context, lines, items);
        return;
    }
    addLines(place(context, font, lines), lines, font, std::nullopt, items);
}

TextControl::Placed TextControl::place(const LayoutContext& context, const QFont& drawn,
                                       const QStringList& lines) const
{
    const TextMetrics& metrics = *context.metrics;
    Placed result;
    Length widest;
    for (const QString& line : lines) {
        result.widths.push_back(metrics.width(drawn, line));
        widest = std::max(widest, result.widths.back());
    }

    LengthRect box = rect;
    if (autoSize) {
        switch (alignment) {
        case Alignment::Left:
            break;
        case Alignment::Right:
            box.left = rect.right() - widest;
            break;
        case Alignment::Center:
            box.left = rect.centreX() - widest / 2;
            break;
        }
        box.width = widest;
    }
    if (alignToBand) {
        switch (alignment) {
        case Alignment::Left:
            box.left = Length();
            break;
        case Alignment::Right:
            box.left = context.bandWidth - box.width;
            break;
        case Alignment::Center:
            box.left = (context.bandWidth - box.width) / 2;
            break;
        }
    }
    result.box = box.translated(context.originX, context.originY);
    result.lineHeight = metrics.lineHeight(drawn);
    return result;
}

void TextControl::addLines(const Placed& placed, const QStringList& lines, const QFont& drawn,
                           const std::optional<LengthRect>& clip,
                           std::vector<PageItem>& items) const
{
    const LengthRect& box = placed.box;
    if (!transparent)
        items.emplace_back(std::in_place_type<FillItem>, FillItem {box, color});
    const Length height = placed.lineHeight;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].isEmpty())
            continue;
        const Length width = placed.widths[std::size_t(i)];
        Length left = box.left;
        if (alignment == Alignment::Right)
            left = box.right() - width;
        else if (alignment == Alignment::Center)
            left = box.centreX() - width / 2;
        items.push_back(
            TextItem {left, box.top + height * i, width, height, lines[i], drawn, fontColor, clip});
    }
}

} // namespace report
