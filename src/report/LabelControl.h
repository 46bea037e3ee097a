#pragma once

#include "report/TextControl.h"

namespace report {

// A fixed text.
class LabelControl : public TextControl
{
public:
    LabelControl(LengthRect rect, QString caption)
        : TextControl(rect)
        , caption(std::move(caption))
    { }

    QString caption;

protected:
    std::optional<QString> text(const LayoutContext&) const override { return caption; }
};

} // namespace report
