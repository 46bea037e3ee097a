#include "CheckList.h"

#include "FitText.h"
#include "ReportRender.h"
#include "TqrMemList.h"
#include "cards/DatabaseOptions.h"
#include "cards/SettingsProblem.h"
#include "data/Answers.h"
#include "data/DatabaseSettings.h"
#include "data/Tdsrc.h"
#include "report/TextMetrics.h"

namespace cards {

void actCheckListExecute(QWidget* owner, data::Tdsrc& dsrc)
{
    tellSettingsProblemOnce(dsrc);
    CardOptions options;
    readDatabaseOptions(data::DatabaseSettings(dsrc.src), options);
    TqrMemList memList(dsrc.src);
    // The check list carries no "SAMPLE"; its boxes keep their title, the address follows the
    // watermark choice.
    memList.QRLabel8->enabled = true;
    memList.QRLabel9->enabled = options.watermark;
    if (options.shrinkText)
        fitCheckListTexts(memList);
    const report::TextMetrics metrics;
    data::answers().preview(
        owner, [&](QPagedPaintDevice* device) { printReport(memList.report, *device, metrics); });
}

} // namespace cards
