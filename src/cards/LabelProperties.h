#pragma once

#include "cards/LabelFont.h"

namespace cards {

// The written properties of the custom font label. The defaults are the form design of the
// label, so a stream that stops early leaves the design in place.
struct LabelProperties
{
    enum class Alignment { LeftJustify, RightJustify, Center };
    enum class Layout { Top, Center, Bottom };

    QString name = QStringLiteral("lbFont");
    qint32 left = 8;
    qint32 top = 16;
    qint32 width = 145;
    qint32 height = 29;
    Alignment alignment = Alignment::Center;
    bool autoSize = false;
    QString caption = QStringLiteral("Demo Text");
    LabelFont font;
    bool parentFont = false;
    Layout layout = Layout::Center;

    bool operator==(const LabelProperties&) const = default;

    // A label whose every property equals the value for which no record is written: reading
    // a stream into it shows exactly what the stream holds.
    static LabelProperties blank();
};

inline LabelProperties LabelProperties::blank()
{
    LabelProperties label;
    label.name.clear();
    label.left = label.top = label.width = label.height = 0;
    label.alignment = Alignment::LeftJustify;
    label.autoSize = true;
    label.caption.clear();
    label.font = LabelFont {};
    label.font.name.clear();
    label.font.height = 0;
    label.parentFont = true;
    label.layout = Layout::Top;
    return label;
}

} // namespace cards
