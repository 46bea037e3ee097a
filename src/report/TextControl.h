#pragma once

#include "report/Control.h"

#include <QColor>
#include <QFont>
#include <optional>

namespace report {

// What text labels, data texts and page data share: the text is split into lines at carriage
// returns (line feeds are dropped), auto-size makes the width that of the widest line, and
// nothing is clipped.
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

    static QStringList splitLines(const QString& text);

protected:
    // The text to print; none prints nothing at all.
    virtual std::optional<QString> text(const LayoutContext& context) const = 0;
};

} // namespace report
