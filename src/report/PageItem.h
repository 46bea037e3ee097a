#pragma once

#include "report/Frame.h"
#include "report/ImageSource.h"
#include "report/LengthRect.h"
#include "report/ShapeItem.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>
#include <memory>
#include <optional>
#include <variant>

namespace report {

// What a laid-out page holds: plain values in paper coordinates, drawn in this order.

struct FillItem
{
    LengthRect rect;
    QColor color;
};

struct FrameItem
{
    LengthRect rect;
    Frame frame;
};

// The picture is stretched to the rectangle. Pictures are shared, not copied, so a picture
// used on every card reaches the painter as the same image each time. With a source, the
// image may be null: the pixels come from the source when a device needs them.
struct ImageItem
{
    LengthRect rect;
    QImage image;
    std::shared_ptr<const ImageSource> source = nullptr;

    // The picture's pixels, from the source when there is one (see ImageSource::image).
    QImage pixels(QSize fit = {}) const { return source ? source->image(fit) : image; }
};

// A zero width is one device pixel.
struct LineItem
{
    Length x1;
    Length y1;
    Length x2;
    Length y2;
    QColor color;
    Length width;
};

// One line of text; left and top are those of the line's box, width its measured width and
// height the font's text height. With a clip, nothing of it is drawn outside that rectangle.
struct TextItem
{
    Length left;
    Length top;
    Length width;
    Length height;
    QString text;
    QFont font;
    QColor color;
    std::optional<LengthRect> clip = std::nullopt;
};

using PageItem = std::variant<FillItem, FrameItem, ImageItem, LineItem, TextItem, ShapeItem>;

} // namespace report
