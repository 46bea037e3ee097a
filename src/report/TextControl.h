#pragma once

#include "report/Control.h"

#include <QColor>
#include <QFont>
#include <optional>
#include <vector>

namespace report {

// What text labels, data texts and page data share: the text is split into lines at carriage
// returns (line feeds are dropped), auto-size makes the width that of the widest line, and
// nothing is clipped unless the control is fitted.
class TextControl : public Control
{
public:
    enum class Alignment { Left, Right, Center };

    explicit TextControl(LengthRect rect);

    void lay(const LayoutContext& context, std::vector<PageItem>& items) const override;

    QFont font;
    QColor fontColor = Qt::black;
    Alignment alignment = Alignment::Left;
    // Auto-size keeps the left edge, the right edge or the centre, as the alignment says.
    bool autoSize = true;
    // Placed across the band after sizing: at its left edge, against its right edge or centred.
    bool alignToBand = false;
    bool transparent = true;
    // The fill of an opaque control.
    QColor color = Qt::white;

    // Fitting, off without it: a text whose lines would reach outside the limit, or into a
    // keep-out rectangle, is laid out in a smaller font (in steps of a tenth of a point, down
    // to minPoints, keeping the first line's baseline) and what still does not fit is clipped. A
    // keep-out rectangle beside the text's anchor (its left edge, right edge or centre, as the
    // alignment says) narrows the room on that side while the lines reach its height; one holding
    // the anchor is ignored. Both in band coordinates. A font sized in pixels is only clipped.
    struct Fit
    {
        LengthRect limit;
        std::vector<LengthRect> keepOut;
        double minPoints = 6;
    };
    std::optional<Fit> fit;

    static QStringList splitLines(const QString& text);

protected:
    // The text to print; none prints nothing at all.
    virtual std::optional<QString> text(const LayoutContext& context) const = 0;

private:
    // The lines' widths, the box the lines are placed in and their height, in a font.
    struct Placed
    {
        std::vector<Length> widths;
        LengthRect box;
        Length lineHeight;
    };
    Placed place(const LayoutContext& context, const QFont& drawn, const QStringList& lines) const;
    void addLines(const Placed& placed, const QStringList& lines, const QFont& drawn,
                  const std::optional<LengthRect>& clip, std::vector<PageItem>& items) const;
    // TextFit.cpp: the font and clip that fit the lines.
    void layFitted(const LayoutContext& context, const QStringList& lines,
                   std::vector<PageItem>& items) const;
};

} // namespace report
