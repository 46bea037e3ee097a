// The member list of the main window: groups, the grid on QStaff and the details shown.
#include "TMelbrin.h"
#include "data/CardTimes.h"
#include "data/DateText.h"
#include "data/ErrorHandler.h"
#include "data/QueryTableModel.h"
#include "data/SettingsStore.h"
#include "data/Tdsrc.h"
#include "data/Utils.h"
#include "data/WidgetUtils.h"
#include "data/WindowSettings.h"
#include "imaging/ImageBox.h"
#include "imaging/LoadPicture.h"
#include "imaging/PictureBlob.h"
#include "imaging/StoredPicture.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QDateEdit>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalBlocker>
#include <QTableView>

namespace app {

void TMelbrin::ReloadGroups()
{
    fillGroupList();
    OpenGroupMembers();
    ShowDetails();
    data::RestoreWindow(QStringLiteral("MainWin"), this);
    data::RestoreGridColumns(QStringLiteral("MainGrid"), dbgInfo, [this](int column) {
        const QString& field = m_gridModel->field(column);
        return data::defaultColumnWidth(m_dsrc.QStaff.isOpen() && m_dsrc.QStaff.hasColumn(field)
                                            ? m_dsrc.QStaff.declaredType(field)
                                            : QStringLiteral("TEXT"));
    });
}

void TMelbrin::OpenGroupMembers()
{
    // Each entry holds its group's number: two groups may bear the same name.
    m_groupId = lstGroup->currentIndex() >= 0 ? lstGroup->currentData().toInt() : 0;
    data::FillPopupMenu(m_dsrc.QGroup, QStringLiteral("gdesc"), QStringLiteral("gid"), puMenu,
                        [this](QAction* item) { runCommand([&] { PopupClick(item); }); });
    if (searching()) {
        openSearchResults();
        return;
    }
    // The sort column is always one of the grid's own columns, never user text.
    if (showingReprints())
        m_dsrc.QStaff.setSql(QStringList {QStringLiteral("select * from stafftbl where"),
                                          data::reprintCondition(), QStringLiteral("order by"),
                                          m_sortField});
    else
        m_dsrc.QStaff.setSql(QStringList {QStringLiteral("select * from stafftbl where gid="),
                                          QStringLiteral(":gid"), QStringLiteral("order by"),
                                          m_sortField});
    m_dsrc.QStaff.setParameter(QStringLiteral("gid"), m_groupId);
    syncGrid(); // the grid empties while the query is closed
    m_dsrc.QStaff.open();
    syncGrid();
    UpdateStatusBar();
}

void TMelbrin::UpdateStatusBar()
{
    // An open QAllStaff (a command working through it) gives its rows; otherwise the file
    // counts its members without any of them being read. QAllStaff is closed either way.
    data::Query& all = m_dsrc.QAllStaff;
    const int staff = all.isOpen() ? all.rowCount() : m_dsrc.staffCount();
    all.close();
    sbPanel[0]->setText(QStringLiteral("Total Staffs=%1").arg(staff));
    sbPanel[1]->setText(QStringLiteral("Total Groups=%1").arg(m_dsrc.QGroup.rowCount()));
    sbPanel[2]->setText(
        (searching() ? QStringLiteral("Found=%1") : QStringLiteral("Group Members=%1"))
            .arg(m_dsrc.QStaff.rowCount()));
}

void TMelbrin::ClearDetails()
{
    for (QLineEdit* e : {eStaffNo, eName, eCname, ePost})
        e->clear();
    dpJoin->setDate(QDate::currentDate());
    dpExpiry->setDate(dpJoin->date());
    eRemark->clear();
    imaging::ClearPicture(*imgPhoto);
    noteDetailsShown(false);
}

void TMelbrin::ShowDetails()
{
    data::Query& q = m_dsrc.QStaff;
    if (q.rowCount() == 0) {
        ClearDetails();
        return;
    }
    // A Null text shows as empty text.
    auto text = [&q](const char* column) {
        const QVariant v = q.value(QString::fromLatin1(column));
        return v.isNull() ? QString() : v.toString();
    };
    auto date = [&text](const char* column) {
        const QDate d = data::textToDate(text(column));
        return d.isValid() ? d : QDate::currentDate();
    };
    // A text longer than its field shows from its start.
    auto show = [](QLineEdit* field, const QString& value) {
        field->setText(value);
        field->setCursorPosition(0);
    };
    show(eStaffNo, text("staffno"));
    show(eName, text("name"));
    show(eCname, text("cname"));
    show(ePost, text("post"));
    dpJoin->setDate(date("datejoin"));
    dpExpiry->setDate(date("expiry"));
    show(eRemark, text("remark"));
    imaging::ClearPicture(*imgPhoto);
    imaging::LoadPhotoFromBlob(q, QStringLiteral("photo"), *imgPhoto,
                               imaging::shownSize(*imgPhoto));
    imaging::ShowSizeHint(*imgPhoto);
    noteDetailsShown(true);
}

void TMelbrin::lstGroupClick()
{
    OpenGroupMembers();
    ShowDetails();
}

void TMelbrin::dbgInfoTitleClick(int column)
{
    // The member shown stays the current row in the new order, so that Delete, Save and
    // Preview act on the member the user sees.
    data::Query& q = m_dsrc.QStaff;
    const QVariant shown = q.rowValue(q.currentRow(), QStringLiteral("seq"));
    m_sortField = m_gridModel->field(column);
    OpenGroupMembers();
    dbgInfo->horizontalHeader()->setSortIndicator(column, Qt::AscendingOrder);
    if (!shown.isNull() && q.locate(QStringLiteral("seq"), shown))
        syncGrid();
}

void TMelbrin::dbgInfoCellClick()
{
    ShowDetails();
}
void TMelbrin::dbgInfoMouseUp()
{
    ShowDetails();
}
void TMelbrin::dbgInfoKeyUp()
{
    ShowDetails();
}

void TMelbrin::syncGrid()
{
    m_gridModel->reset();
    const int row = m_dsrc.QStaff.currentRow();
    if (row >= 0) {
        const QSignalBlocker blocker(dbgInfo->selectionModel());
        dbgInfo->selectionModel()->setCurrentIndex(m_gridModel->index(row, 0),
                                                   QItemSelectionModel::ClearAndSelect
                                                       | QItemSelectionModel::Rows);
    }
}

void TMelbrin::gridRowChanged(int row)
{
    if (row >= 0 && m_dsrc.QStaff.isOpen() && row < m_dsrc.QStaff.rowCount())
        m_dsrc.QStaff.moveTo(row);
}

void TMelbrin::showPopupMenu(const QPoint& pos)
{
    // The row under the pointer becomes current and is shown before the menu opens, so a
    // move applies to it.
    const QModelIndex index = dbgInfo->indexAt(pos);
    if (index.isValid()) {
        dbgInfo->setCurrentIndex(index);
        data::guarded([this] { ShowDetails(); });
    }
    openPopupMenu(pos);
}

void TMelbrin::openPopupMenu(const QPoint& pos)
{
    if (!puMenu->isEmpty() && m_dsrc.QStaff.rowCount() > 0)
        puMenu->popup(dbgInfo->viewport()->mapToGlobal(pos));
}

bool TMelbrin::eventFilter(QObject* watched, QEvent* event)
{
    const bool overGrid
        = watched == dbgInfo->viewport() || watched == dbgInfo->horizontalHeader()->viewport();
    if (overGrid && event->type() == QEvent::MouseButtonRelease)
        data::guarded([this] { dbgInfoMouseUp(); });
    else if (watched == dbgInfo && event->type() == QEvent::KeyPress) {
        if (gridKeyPressed(*static_cast<QKeyEvent*>(event)))
            return true;
    } else if (watched == dbgInfo && event->type() == QEvent::KeyRelease)
        gridKeyReleased(*static_cast<QKeyEvent*>(event));
    else if (watched == dbgInfo && event->type() == QEvent::FocusOut)
        m_rowAtKeyPress = -2;
    else if (watched == dbgInfo && event->type() == QEvent::ContextMenu
             && static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        // The menu key opens the menu on the current member, wherever the pointer is.
        const QRect row = dbgInfo->visualRect(dbgInfo->currentIndex());
        openPopupMenu(row.isValid() ? row.center() : QPoint());
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TMelbrin::gridKeyPressed(const QKeyEvent& key)
{
    if (!key.isAutoRepeat() && m_rowAtKeyPress == -2)
        m_rowAtKeyPress = dbgInfo->currentIndex().row();
    // The grid selects whole rows: Home and End go to the first and the last member.
    const bool home = key.key() == Qt::Key_Home, end = key.key() == Qt::Key_End;
    if ((!home && !end) || key.modifiers() != Qt::NoModifier || m_gridModel->rowCount() == 0)
        return false;
    const QModelIndex current = dbgInfo->currentIndex();
    dbgInfo->setCurrentIndex(m_gridModel->index(home ? 0 : m_gridModel->rowCount() - 1,
                                                current.isValid() ? current.column() : 0));
    return true;
}

void TMelbrin::gridKeyReleased(const QKeyEvent& key)
{
    // Only keys that went down in the grid count (the Tab that brought the focus here went
    // down elsewhere), and only when they moved the current row, so that keys that move
    // nothing leave what is typed in the panel alone.
    if (key.isAutoRepeat() || m_rowAtKeyPress == -2)
        return;
    const int row = dbgInfo->currentIndex().row();
    const bool moved = row != m_rowAtKeyPress;
    m_rowAtKeyPress = row;
    if (moved)
        data::guarded([this] { dbgInfoKeyUp(); });
}

} // namespace app
