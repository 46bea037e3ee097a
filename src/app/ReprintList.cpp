// The group list's entry of the cards to reprint.
#include "TMelbrin.h"
#include "data/Answers.h"
#include "data/DatabaseSettings.h"
#include "data/Tdsrc.h"
#include "data/WidgetUtils.h"

#include <QComboBox>
#include <QSignalBlocker>

namespace app {

void TMelbrin::fillGroupList()
{
    data::FillComboBox(m_dsrc.QGroup, QStringLiteral("gdesc"), lstGroup, QStringLiteral("gid"));
    // Without groups nobody can be listed; an older file that could not gain the time
    // columns has nothing to list.
    if (lstGroup->count() == 0
        || (!m_dsrc.extensionsProblem.isEmpty() && !data::hasExtensions(m_dsrc.src)))
        return;
    const QSignalBlocker blocker(lstGroup);
    lstGroup->addItem(tr("Cards to reprint"), reprintListId);
}

void TMelbrin::saveInReprintList(const QString& name, bool found)
{
    if (!found) {
        data::showError(
            QStringLiteral("A new member is added to a group: choose the group first."));
        return;
    }
    // QAllStaff stands on the member of that name.
    storeDetailsInto(m_dsrc.QAllStaff, true, m_dsrc.QAllStaff.asInt(QStringLiteral("gid")));
    OpenGroupMembers();
    if (m_dsrc.QStaff.locate(QStringLiteral("name"), name))
        syncGrid();
    ShowDetails();
    UpdateStatusBar();
}

void TMelbrin::refreshReprints()
{
    if (!showingReprints())
        return;
    OpenGroupMembers();
    ShowDetails();
}

} // namespace app
