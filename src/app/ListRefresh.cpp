// Several stations on one database: the list read again on request (F5) and after the window
// comes back from another program, and a change refused because another station changed the
// row meanwhile.
#include "TMelbrin.h"
#include "data/Connection.h"
#include "data/Error.h"
#include "data/ErrorHandler.h"
#include "data/Tdsrc.h"
#include "imaging/ImageBox.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableView>
#include <QTimer>
#include <algorithm>

namespace app {

void TMelbrin::runCommand(const std::function<void()>& command)
{
    ++m_commandsRunning;
    struct Done
    {
        int& running;
        ~Done() { --running; }
    } done {m_commandsRunning};
    data::guarded([&] {
        try {
            command();
        } catch (const data::RowConflict&) {
            // Nothing was stored: the list shows what the other station left, then the
            // general handler says so. A failure to read it is shown instead.
            cancelPendingChanges();
            refreshList(true);
            throw;
        }
    });
}

void TMelbrin::cancelPendingChanges()
{
    for (data::Query* q : {&m_dsrc.QStaff, &m_dsrc.QAllStaff, &m_dsrc.QGroup, &m_dsrc.QList}) {
        if (q->state() != data::Query::State::Browse)
            q->cancel();
    }
    m_dsrc.src.rollback();
}

void TMelbrin::actRefreshExecute()
{
    // Asked for, the current member is shown, unless the panel holds typing.
    refreshList(!detailsEdited());
}

void TMelbrin::refreshList(bool showMember)
{
    m_listStale = false;
    if (!m_dsrc.src.isOpen())
        return;
    data::Query& q = m_dsrc.QStaff;
    const int place = q.currentRow();
    const QVariant current = q.rowValue(place, QStringLiteral("seq"));
    const int scroll = dbgInfo->verticalScrollBar()->value();
    const bool show = showMember || (!m_shown.seq.isNull() && !detailsEdited());

    // Groups another station added, renamed or removed; the chosen one stays chosen while
    // it is there.
    m_dsrc.QGroup.close();
    m_dsrc.QGroup.open();
    fillGroupList();
    if (const int entry = lstGroup->findData(m_groupId); entry >= 0) {
        const QSignalBlocker blocker(lstGroup);
        lstGroup->setCurrentIndex(entry);
    }
    OpenGroupMembers();
    if ((current.isNull() || !q.locate(QStringLiteral("seq"), current)) && place >= 0
        && q.rowCount() > 0)
        q.moveTo(std::min(place, q.rowCount() - 1));
    syncGrid();
    dbgInfo->verticalScrollBar()->setValue(scroll);
    if (show)
        ShowDetails();
}

void TMelbrin::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    if (!isActiveWindow()) {
        // No window of this program has the focus now, so another program has: other
        // stations may change the database meanwhile. The program's own dialogs and boxes
        // do not count.
        if (!QApplication::activeWindow())
            m_listStale = true;
    } else if (m_listStale) {
        // After the activation is done with, outside whatever handler is running.
        QTimer::singleShot(0, this, [this] { refreshIfStale(); });
    }
}

void TMelbrin::refreshIfStale()
{
    if (!m_listStale || !isActiveWindow() || m_commandsRunning > 0
        || QApplication::activeModalWidget() || QApplication::activePopupWidget() || detailsEdited()
        || !m_dsrc.src.isOpen())
        return;
    runCommand([this] { refreshList(); });
}

QStringList TMelbrin::detailsTexts() const
{
    return {eStaffNo->text(),
            eName->text(),
            eCname->text(),
            ePost->text(),
            eRemark->text(),
            dpJoin->date().toString(Qt::ISODate),
            dpExpiry->date().toString(Qt::ISODate)};
}

void TMelbrin::noteDetailsShown(bool member)
{
    m_shown = {};
    const data::Query& q = m_dsrc.QStaff;
    if (member && q.currentRow() >= 0) {
        m_shown.seq = q.rowValue(q.currentRow(), QStringLiteral("seq"));
        m_shown.name = eName->text();
        m_shown.version = q.rowVersion(q.currentRow());
    }
    m_shown.texts = detailsTexts();
}

bool TMelbrin::detailsEdited() const
{
    return m_shown.photoChanged || detailsTexts() != m_shown.texts;
}

void TMelbrin::requireShownMemberUnchanged(const QString& name)
{
    // Only rows with versions tell; a file keeps none.
    if (!m_shown.version || m_shown.seq.isNull() || name != m_shown.name)
        return;
    const data::Query& all = m_dsrc.QAllStaff;
    for (int r = 0; r < all.rowCount(); ++r) {
        if (all.rowValue(r, QStringLiteral("seq")) == m_shown.seq) {
            if (all.rowVersion(r) != m_shown.version)
                throw data::RowConflict();
            return;
        }
    }
    throw data::RowConflict(); // removed at another station
}

} // namespace app
