// Creating, removing and moving between groups.
#include "TMelbrin.h"
#include "data/Answers.h"
#include "data/CardTimes.h"
#include "data/Engine.h"
#include "data/Error.h"
#include "data/ErrorHandler.h"
#include "data/Tdsrc.h"
#include "data/Utils.h"
#include "data/WidgetUtils.h"

#include <QAction>
#include <QComboBox>
#include <QSignalBlocker>

namespace app {
namespace {

// Group numbers are 16-bit: refuse a new group whose row number could not be one.
void requireGroupNumberLeft(data::Connection& src)
{
    if (src.engine().nextRowNumber(QStringLiteral("grptbl")) > 32767)
        throw data::Error(QStringLiteral("No new group can be created: all 32767 group "
                                         "numbers have been used"));
}

} // namespace

void TMelbrin::bNewGrpClick()
{
    const auto name = data::answers().inputText(this, QStringLiteral("Create new group"),
                                                QStringLiteral("New group name"), QString());
    if (!name || name->isEmpty()
        || lstGroup->findText(*name, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0)
        return;
    requireGroupNumberLeft(m_dsrc.src);
    data::Query& g = m_dsrc.QGroup;
    g.append();
    g.setValue(QStringLiteral("gdesc"), *name);
    g.setValue(QStringLiteral("gid"), 0);
    g.post();
    const int seq = g.asInt(QStringLiteral("seq"));
    g.edit();
    g.setValue(QStringLiteral("gid"), seq);
    g.post();
    fillGroupList();
    if (const int entry = lstGroup->findData(seq); entry >= 0) {
        const QSignalBlocker blocker(lstGroup);
        lstGroup->setCurrentIndex(entry);
    }
    leaveSearch(false);
    OpenGroupMembers();
    ShowDetails();
}

void TMelbrin::bRemoveClick()
{
    if (lstGroup->count() == 0)
        return;
    // The group's own list, so that all its members move to DEFAULT.
    leaveSearch(true);
    const QString name = lstGroup->currentText();
    if (showingReprints()) {
        data::showError(QStringLiteral("The cards to reprint are no group and cannot be deleted."));
        return;
    }
    if (name == u"DEFAULT") {
        data::showError(QStringLiteral("Cannot delete DEFAULT group."));
        return;
    }
    if (!data::ConfirmDelete())
        return;
    data::Query& g = m_dsrc.QGroup;
    // The group is the selected entry's, found by its number: names need not be unique.
    if (!g.locate(QStringLiteral("gid"), m_groupId))
        return;
    const int gid = g.asInt(QStringLiteral("gid"));
    data::Query& staff = m_dsrc.QStaff;
    // The members move and the group goes together, or nothing changes: a member another
    // station changed meanwhile leaves the group as it was.
    data::Connection& src = m_dsrc.src;
    src.beginTransaction();
    try {
        for (staff.first(); !staff.eof(); staff.next()) {
            if (staff.asInt(QStringLiteral("gid")) == gid) {
                const data::CardChange change(staff, false);
                staff.edit();
                staff.setValue(QStringLiteral("gid"), 0);
                change.stamp(staff);
                staff.post();
            }
        }
        g.remove();
        src.commit();
    } catch (const data::RowConflict&) {
        src.rollback();
        throw;
    } catch (const std::exception&) {
        staff.cancel();
        src.rollback();
        data::guarded([this] { refreshList(true); });
        throw;
    }
    fillGroupList();
    OpenGroupMembers();
    ShowDetails();
}

void TMelbrin::PopupClick(QAction* item)
{
    data::Query& staff = m_dsrc.QStaff;
    if (staff.eof())
        return; // no member to move
    try {
        const data::CardChange change(staff, false);
        staff.edit();
        staff.setValue(QStringLiteral("gid"), item->data().toInt());
        change.stamp(staff);
        staff.post();
        OpenGroupMembers();
        ShowDetails();
    } catch (const data::RowConflict&) {
        staff.cancel();
        throw; // the list is read again before the user is told
    } catch (const std::exception&) {
        staff.cancel();
    }
}

} // namespace app
