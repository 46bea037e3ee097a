// The search box above the member grid: members of every group found by name, Chinese name
// or staff no, listed in QStaff as the reprint list is, so that every command of the list
// acts on them.
#include "data/MemberSearch.h"

#include "MemberGridModel.h"
#include "TMelbrin.h"
#include "data/Answers.h"
#include "data/ErrorHandler.h"
#include "data/Tdsrc.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSet>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <algorithm>
#include <functional>

namespace app {
namespace {

// Keys typed within this time of the last search are searched for together once it is over.
constexpr int freshSearchMs = 120;

// The search box tells when it gains and loses the focus.
class SearchField : public QLineEdit
{
public:
    std::function<void(bool)> focusChanged;

protected:
    void focusInEvent(QFocusEvent* event) override
    {
        QLineEdit::focusInEvent(event);
        if (focusChanged)
            focusChanged(true);
    }
    void focusOutEvent(QFocusEvent* event) override
    {
        QLineEdit::focusOutEvent(event);
        if (focusChanged)
            focusChanged(false);
    }
};

} // namespace

void TMelbrin::releaseSearchBox()
{
    if (auto* field = dynamic_cast<SearchField*>(eFind))
        field->focusChanged = nullptr;
}

QWidget* TMelbrin::buildSearchBox()
{
    auto* row = new QFrame;
    row->setObjectName(QStringLiteral("PanelFind"));
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(4);
    lFind = new QLabel(tr("&Find"), row);
    lFind->setObjectName(QStringLiteral("lFind"));
    auto* field = new SearchField;
    // The members are read into memory as the box is entered, so that the first key finds
    // them there.
    field->focusChanged
        = [this](bool in) { data::guarded([this, in] { holdMembers(in || searching()); }); };
    eFind = field;
    eFind->setParent(row);
    eFind->setObjectName(QStringLiteral("eFind"));
    eFind->setPlaceholderText(tr("Name, Chinese or staff no: all groups"));
    eFind->setClearButtonEnabled(true);
    lFind->setBuddy(eFind);
    layout->addWidget(lFind);
    layout->addWidget(eFind, 1);

    m_findTimer = new QTimer(this);
    m_findTimer->setObjectName(QStringLiteral("findTimer"));
    m_findTimer->setSingleShot(true);
    m_findTimer->setInterval(freshSearchMs);
    connect(m_findTimer, &QTimer::timeout, this, [this] {
        if (m_findPending)
            data::guarded([this] { runPendingSearch(); });
    });
    auto on = [this](auto* sender, auto signal, void (TMelbrin::*handler)()) {
        connect(sender, signal, this,
                [this, handler] { data::guarded([&] { (this->*handler)(); }); });
    };
    on(eFind, &QLineEdit::textChanged, &TMelbrin::eFindChange);
    on(eFind, &QLineEdit::returnPressed, &TMelbrin::eFindEnter);
    // Esc in the box, or in the grid of results, goes back to the group.
    for (QWidget* w : {static_cast<QWidget*>(eFind), static_cast<QWidget*>(dbgInfo)}) {
        auto* esc = new QAction(w);
        esc->setShortcut(Qt::Key_Escape);
        esc->setShortcutContext(Qt::WidgetShortcut);
        w->addAction(esc);
        on(esc, &QAction::triggered, &TMelbrin::eFindExit);
    }
    auto* find = new QAction(this);
    find->setShortcut(QKeySequence::Find);
    find->setShortcutContext(Qt::WindowShortcut);
    addAction(find);
    connect(find, &QAction::triggered, this, [this] {
        eFind->setFocus(Qt::ShortcutFocusReason);
        eFind->selectAll();
    });
    // Choosing a group ends the search before the group's list opens (connected before the
    // group list's own handler, so it runs first).
    connect(lstGroup, &QComboBox::activated, this,
            [this] { data::guarded([this] { leaveSearch(false); }); });
    return row;
}

void TMelbrin::eFindChange()
{
    if (eFind->text().isEmpty()) {
        leaveSearch(true);
        return;
    }
    m_findPending = true;
    if (!m_findTimer->isActive())
        runPendingSearch();
}

void TMelbrin::runPendingSearch()
{
    m_findPending = false;
    const QString text = eFind->text();
    if (text.isEmpty())
        return;
    const bool starting = !searching();
    if (starting) {
        holdMembers(true);
        const data::Query& q = m_dsrc.QStaff;
        m_groupSelection = q.rowValue(q.currentRow(), QStringLiteral("seq"));
    }
    m_findText = text;
    m_findTimer->start();
    OpenGroupMembers();
    if (starting)
        fitSearchColumns();
    // The details show the current member, as after choosing a group.
    ShowDetails();
}

void TMelbrin::fitSearchColumns()
{
    // The group column shares the grid's width with the others rather than lying beyond
    // it; the widths of the group's list come back with it.
    QHeaderView* header = dbgInfo->horizontalHeader();
    m_groupColumnWidths.clear();
    int used = 0;
    for (int c = 0; c < 3; ++c) {
        m_groupColumnWidths << header->sectionSize(c);
        used += header->sectionSize(c);
    }
    const int room = dbgInfo->viewport()->width();
    const int group = std::max(room / 4, 60);
    if (used + group > room && used > 0) {
        for (int c = 0; c < 3; ++c)
            header->resizeSection(c, std::max(30, m_groupColumnWidths[c] * (room - group) / used));
    }
    header->resizeSection(3, group);
}

void TMelbrin::holdMembers(bool hold)
{
    if (hold == m_membersHeld || !m_dsrc.src.isOpen())
        return;
    data::keepMembersInMemory(m_dsrc.src, hold);
    m_membersHeld = hold;
}

void TMelbrin::openSearchResults()
{
    data::Query& q = m_dsrc.QStaff;
    const QVariant current = q.rowValue(q.currentRow(), QStringLiteral("seq"));
    QHash<qlonglong, QString> groups;
    const data::Query& g = m_dsrc.QGroup;
    for (int r = 0; r < g.rowCount(); ++r) {
        const qlonglong gid = g.rowValue(r, QStringLiteral("gid")).toLongLong();
        if (!groups.contains(gid))
            groups.insert(gid, g.rowValue(r, QStringLiteral("gdesc")).toString());
    }
    // The sort column is one of the grid's own, never user text; the text is bound.
    const QString order = m_sortField == MemberGridModel::groupField()
        ? QStringLiteral("(select gdesc from grptbl where grptbl.gid = stafftbl.gid), name")
        : m_sortField;
    q.setSql(QStringList {QStringLiteral("select * from stafftbl where"),
                          data::memberSearchCondition(m_dsrc.src), QStringLiteral("order by"),
                          order + QStringLiteral(", seq")});
    q.setParameter(data::memberSearchParameter(), m_findText);
    m_memberGrid->showGroups(groups); // the grid empties while the query is closed
    q.open();
    if (!current.isNull())
        q.locate(QStringLiteral("seq"), current);
    syncGrid();
    // A search changes no member: only the count of those found is new. (The totals take
    // a read of every member, longer than the search itself.)
    sbPanel[2]->setText(QStringLiteral("Found=%1").arg(q.rowCount()));
}

void TMelbrin::eFindEnter()
{
    if (m_findPending)
        runPendingSearch();
    if (!searching() || m_dsrc.QStaff.rowCount() == 0)
        return;
    ShowDetails();
    dbgInfo->setFocus(Qt::OtherFocusReason);
}

void TMelbrin::eFindExit()
{
    if (searching() || !eFind->text().isEmpty())
        leaveSearch(true);
}

void TMelbrin::leaveSearch(bool reopen)
{
    m_findTimer->stop();
    m_findPending = false;
    {
        const QSignalBlocker blocker(eFind);
        eFind->clear();
    }
    if (!searching())
        return;
    m_findText.clear();
    holdMembers(eFind->hasFocus());
    if (m_sortField == MemberGridModel::groupField()) {
        m_sortField = QStringLiteral("name");
        dbgInfo->horizontalHeader()->setSortIndicator(1, Qt::AscendingOrder);
    }
    m_memberGrid->hideGroups();
    for (int c = 0; c < int(m_groupColumnWidths.size()); ++c)
        dbgInfo->horizontalHeader()->resizeSection(c, m_groupColumnWidths[c]);
    m_groupColumnWidths.clear();
    if (!reopen)
        return;
    OpenGroupMembers();
    if (!m_groupSelection.isNull() && m_dsrc.QStaff.locate(QStringLiteral("seq"), m_groupSelection))
        syncGrid();
    ShowDetails();
}

void TMelbrin::saveInSearchResults(const QString& name, bool found)
{
    if (!found && showingReprints()) {
        data::showError(
            QStringLiteral("A new member is added to a group: choose the group first."));
        return;
    }
    // QAllStaff stands on the member of that name when it was found; a new member joins the
    // chosen group.
    data::Query& all = m_dsrc.QAllStaff;
    storeDetailsInto(all, found, found ? all.asInt(QStringLiteral("gid")) : m_groupId);
    // The search again: the member may be found no more, or found now.
    OpenGroupMembers();
    const bool listed = m_dsrc.QStaff.locate(QStringLiteral("name"), name);
    syncGrid();
    if (found && listed) {
        ShowDetails();
    } else {
        const QDate expiry = dpExpiry->date();
        ClearDetails();
        dpExpiry->setDate(expiry);
        noteDetailsShown(false);
    }
    UpdateStatusBar();
}

bool TMelbrin::confirmDeleteFound() const
{
    const data::Query& q = m_dsrc.QStaff;
    QSet<qlonglong> groups;
    for (int r = 0; r < q.rowCount(); ++r)
        groups.insert(q.rowValue(r, QStringLiteral("gid")).toLongLong());
    const int n = q.rowCount();
    return data::confirmBox(
        QStringLiteral("Delete the %1 found for \"%2\" in %3? Members of these groups that "
                       "are not listed stay.")
            .arg(n == 1 ? QStringLiteral("1 member") : QStringLiteral("%1 members").arg(n),
                 m_findText,
                 groups.size() == 1 ? QStringLiteral("1 group")
                                    : QStringLiteral("%1 groups").arg(groups.size())));
}

} // namespace app
