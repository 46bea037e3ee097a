#pragma once

#include <QColor>
#include <QPainterPath>

namespace report {

// Filled shapes drawn as vectors on every device: rectangles, polygons, ellipses and curves of
// one path in micrometres from the paper's top left corner, filled with the path's fill rule in
// one colour, without an outline.
struct ShapeItem
{
    QPainterPath path;
    QColor color;
};

} // namespace report
