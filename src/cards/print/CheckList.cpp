#include "CheckList.h"

#include "FitText.h"
#include "ReportRender.h"
#include "TqrMemList.h"
#include "data/Answers.h"
#include "data/Tdsrc.h"
#include "report/TextMetrics.h"

namespace cards {

void actCheckListExecute(QWidget* owner, data::Tdsrc& dsrc)
{
    TqrMemList memList(dsrc.src);
    memList.QRLabel8->enabled = true;
    memList.QRLabel9->enabled = true;
    if (shrinksText(dsrc.src))
        fitCheckListTexts(memList);
    const report::TextMetrics metrics;
    data::answers().preview(
        owner, [&](QPagedPaintDevice* device) { printReport(memList.report, *device, metrics); });
}

} // namespace cards
