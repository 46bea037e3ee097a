#include "SettingsProblem.h"

#include "data/Answers.h"
#include "data/Tdsrc.h"

namespace cards {

void tellSettingsProblemOnce(data::Tdsrc& dsrc)
{
    if (dsrc.extensionsProblem.isEmpty() || dsrc.extensionsProblemTold)
        return;
    dsrc.extensionsProblemTold = true;
    data::showInformation(
        QStringLiteral("The card settings cannot be stored in this database (%1). Cards and the "
                       "check list print with the default settings.")
            .arg(dsrc.extensionsProblem));
}

} // namespace cards
