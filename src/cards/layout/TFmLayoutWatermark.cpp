// The watermark choice on the "Card Style" tab.
#include "TFmLayout.h"
#include "data/WidgetUtils.h"

#include <QCheckBox>
#include <algorithm>

namespace cards {

void TFmLayout::buildWatermarkChoice()
{
    // Below the style sketches, where the tab has room; its state comes from the database's
    // settings in FormCreate.
    cbWatermark = data::place<QCheckBox>(TabSheet3, "cbWatermark", {8, 232, 160, 17});
    cbWatermark->setText(QStringLiteral("Print SAMPLE watermark"));
    cbWatermark->setChecked(true);
    cbWatermark->resize(std::max(160, cbWatermark->sizeHint().width()), 17);
}

} // namespace cards
