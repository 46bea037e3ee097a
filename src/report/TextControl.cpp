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

    const TextMetrics& metrics = *context.metrics;
    const QStringList lines = splitLines(*value);
    std::vector<Length> widths;
    Length widest;
    for (const QString& line : lines) {
        widths.push_back(metrics.width(font, line));
        widest = std::max(widest, widths.back());
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
    box = box.translated(context.originX, context.originY);

    if (!transparent)
        items.emplace_back(std::in_place_type<FillItem>, FillItem {box, color});
    const Length height = metrics.lineHeight(font);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].isEmpty())
            continue;
        const Length width = widths[std::size_t(i)];
        Length left = box.left;
        if (alignment == Alignment::Right)
            left = box.right() - width;
        else if (alignment == Alignment::Center)
            left = box.centreX() - width / 2;
        items.push_back(
            TextItem {left, box.top + height * i, width, height, lines[i], font, fontColor});
    }
}

} // namespace report
