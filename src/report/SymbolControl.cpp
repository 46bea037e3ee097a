#include "SymbolControl.h"

#include "report/DataSource.h"
#include "report/TextMetrics.h"

#include <QTransform>
#include <algorithm>

namespace report {
namespace {

// The text under a symbol is about a fifth of the rectangle's height, between these sizes,
// and smaller still where it would be wider than the rectangle; below the smallest it is left
// out and the symbol takes the whole height.
constexpr double largestTextPoints = 10;
constexpr double smallestTextPoints = 4;
constexpr double textShare = 0.2;

struct Caption
{
    QFont font;
    Length width;
    Length height;
};

std::optional<Caption> caption(const QString& text, QFont font, const LengthRect& box,
                               const TextMetrics& metrics)
{
    if (text.isEmpty())
        return std::nullopt;
    font.setPointSizeF(largestTextPoints);
    const double perPoint = double(metrics.lineHeight(font).micrometres()) / largestTextPoints;
    if (perPoint <= 0)
        return std::nullopt;
    double points = std::min(largestTextPoints, box.height.micrometres() * textShare / perPoint);
    font.setPointSizeF(points);
    const Length wide = metrics.width(font, text);
    if (wide > box.width && wide.micrometres() > 0)
        points *= double(box.width.micrometres()) / double(wide.micrometres());
    if (points < smallestTextPoints)
        return std::nullopt;
    font.setPointSizeF(points);
    return Caption {font, metrics.width(font, text), metrics.lineHeight(font)};
}

} // namespace

void SymbolControl::lay(const LayoutContext& context, std::vector<PageItem>& items) const
{
    if (!enabled || !encoder || !context.row || column.isEmpty() || !context.row->hasColumn(column))
        return;
    const QString value = context.row->displayText(column);
    if (value.trimmed().isEmpty())
        return;
    const Symbol symbol = encoder(value);
    if (!symbol.refusal.isEmpty() || symbol.size.isEmpty()) {
        if (refused)
            refused(value, symbol.refusal);
        return;
    }

    const LengthRect box = placed(context);
    std::optional<Caption> text;
    if (context.metrics)
        text = caption(symbol.text, font, box, *context.metrics);
    const double boxWidth = double(box.width.micrometres());
    const double area = double((box.height - (text ? text->height : Length())).micrometres());
    if (boxWidth <= 0 || area <= 0)
        return;
    double sx = boxWidth / symbol.size.width();
    double sy = area / symbol.size.height();
    double dx = double(box.left.micrometres());
    const double dy = double(box.top.micrometres());
    if (fit == Fit::KeepAspect) {
        sx = sy = std::min(sx, sy);
        dx += (boxWidth - sx * symbol.size.width()) / 2;
    }
    const QTransform toPaper(sx, 0, 0, sy, dx, dy);
    items.push_back(ShapeItem {toPaper.map(symbol.modules), color});
    if (text) {
        const Length symbolWidth = Length::micrometres(qint64(sx * symbol.size.width()));
        const Length left = Length::micrometres(qint64(dx)) + (symbolWidth - text->width) / 2;
        const Length top = Length::micrometres(qint64(dy + sy * symbol.size.height()));
        items.push_back(
            TextItem {left, top, text->width, text->height, symbol.text, text->font, color});
    }
}

} // namespace report
