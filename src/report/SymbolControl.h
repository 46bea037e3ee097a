#pragma once

#include "report/Control.h"

#include <QColor>
#include <QFont>
#include <QPainterPath>
#include <QSizeF>
#include <functional>

namespace report {

// A machine-readable symbol as its encoder makes it: the dark modules as one path in module
// units from the symbol's top left corner, quiet zones included in its size, and the text to
// print under it for people (none for a symbol without one). A refusal says why the value
// cannot be encoded and leaves the rest empty.
struct Symbol
{
    QPainterPath modules;
    QSizeF size;
    QString text;
    QString refusal;
};

// A barcode or two-dimensional code of one column of the current row, drawn as filled shapes
// in the control's rectangle; never as a picture, so it is sharp on every device. A linear
// code fills the rectangle, its bars stretched to the width and the height left above its
// text; a square one is as large as fits and centred. An empty value prints nothing; so does a
// value the encoder refuses, which is reported to refused first. Without a row, or without
// the column, nothing prints.
class SymbolControl : public Control
{
public:
    using Encoder = std::function<Symbol(const QString& value)>;
    using Refused = std::function<void(const QString& value, const QString& reason)>;
    enum class Fit { Stretch, KeepAspect };

    SymbolControl(LengthRect rect, QString column, Encoder encoder)
        : Control(rect)
        , column(std::move(column))
        , encoder(std::move(encoder))
    { }

    void lay(const LayoutContext& context, std::vector<PageItem>& items) const override;

    QString column;
    Encoder encoder;
    Refused refused;
    Fit fit = Fit::KeepAspect;
    QColor color = Qt::black;
    // The face of the text under the symbol; its size follows the rectangle's height.
    QFont font = QFont(QStringLiteral("Arial"), 8);
};

} // namespace report
