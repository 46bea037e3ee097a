#include "ShrinkTextBox.h"

#include "data/WidgetUtils.h"

#include <QCheckBox>
#include <algorithm>

namespace cards {

QCheckBox* addShrinkTextBox(QWidget* tab)
{
    auto* box = data::place<QCheckBox>(tab, "cbShrink", {8, 216, 229, 17});
    box->setText(QStringLiteral("Shrink long text to fit"));
    box->resize(std::max(box->width(), box->sizeHint().width()), box->height());
    return box;
}

} // namespace cards
