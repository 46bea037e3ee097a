#pragma once

#include "cards/LabelFont.h"

#include <QColor>
#include <QFont>

namespace cards {

// Between the stored label font (heights in pixels at 96 per inch, colours as 00BBGGRR)
// and Qt's fonts and colours.
class LabelFontMapping
{
public:
    static constexpr int screenDpi = 96;

    // Points of a character height (-13 is 10 points); a positive cell height is taken as
    // a character height too. Rounds half away from zero.
    static int pointSize(qint32 height);
    // The character height (negative) of a point size: 10 points is -13.
    static qint32 height(int pointSize);

    static QColor toQColor(qint32 color);
    // 00BBGGRR of an opaque colour.
    static qint32 fromQColor(const QColor& color);

    static QFont toQFont(const LabelFont& font);
    // The stored font of a Qt font and colour. Character set and pitch, which Qt fonts do not
    // carry, are taken from the base.
    static LabelFont fromQFont(const QFont& font, const QColor& color, const LabelFont& base);
};

} // namespace cards
