// Builds the controls of the main window.
#include "MemberGridModel.h"
#include "TMelbrin.h"
#include "data/ErrorHandler.h"
#include "data/QueryTableModel.h"
#include "data/Tdsrc.h"
#include "imaging/ImageBox.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>
#include <functional>

namespace app {
namespace {

template<typename W, typename... Args> W* named(const char* name, Args&&... args)
{
    auto* w = new W(std::forward<Args>(args)...);
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QPushButton* button(const char* name, const QString& caption, QWidget* parent,
                    QSize size = {75, 25})
{
    auto* b = named<QPushButton>(name, caption, parent);
    b->setFixedSize(size);
    return b;
}

// A date field that the Tab key leaves at once, as the other fields do, instead of walking
// its day, month and year first; onReturn runs after Enter was handled as a date entry.
class DateField : public QDateEdit
{
public:
    explicit DateField(std::function<void()> onReturn)
        : m_onReturn(std::move(onReturn))
    { }

protected:
    bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }
    void keyPressEvent(QKeyEvent* event) override
    {
        QDateEdit::keyPressEvent(event);
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            event->accept();
            m_onReturn();
        }
    }

private:
    std::function<void()> m_onReturn;
};

} // namespace

void TMelbrin::buildActions()
{
    ActionToolBar1 = named<QToolBar>("ActionToolBar1", this);
    ActionToolBar1->setMovable(false);
    ActionToolBar1->setFloatable(false);
    ActionToolBar1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    ActionToolBar1->setIconSize({16, 16});
    addToolBar(Qt::TopToolBarArea, ActionToolBar1);

    auto add = [this](const char* name, const QString& caption, QStyle::StandardPixmap icon) {
        auto* a = named<QAction>(name, style()->standardIcon(icon), caption, this);
        // The bar's buttons show the caption as it is, so that its "&" marks the access key.
        a->setIconText(caption);
        ActionToolBar1->addAction(a);
        return a;
    };
    actExit = add("actExit", tr("&Exit"), QStyle::SP_DialogCloseButton);
    actAbout = add("actAbout", tr("&About"), QStyle::SP_MessageBoxInformation);
    actImport = add("actImport", tr("&Import"), QStyle::SP_DialogOpenButton);
    actCheckList = add("actCheckList", tr("Check &List"), QStyle::SP_FileDialogDetailedView);
    actSave = add("actSave", tr("Save &Database"), QStyle::SP_DialogSaveButton);
    actLayout = add("actLayout", tr("&Card Layout"), QStyle::SP_FileDialogContentsView);
}

void TMelbrin::buildStaffList()
{
    gbList = named<QGroupBox>("gbList", tr("Staff List"));
    auto* listLayout = new QVBoxLayout(gbList);
    // Tight margins, so that the three columns fit beside the details at the default size.
    listLayout->setContentsMargins(0, 2, 0, 2);

    Panel1 = named<QFrame>("Panel1");
    Panel1->setFixedHeight(26);
    auto* top = new QHBoxLayout(Panel1);
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(4);
    Label1 = named<QLabel>("Label1", tr("Group"));
    lstGroup = named<QComboBox>("lstGroup");
    lstGroup->setEditable(false);
    lstGroup->setFixedWidth(145);
    bNewGrp = button("bNewGrp", tr("New"), Panel1, {50, 23});
    bRemove = button("bRemove", tr("Remove"), Panel1, {60, 23});
    top->addWidget(Label1);
    top->addWidget(lstGroup);
    top->addWidget(bNewGrp);
    top->addWidget(bRemove);
    top->addStretch();
    listLayout->addWidget(Panel1);

    GroupBox1 = named<QGroupBox>("GroupBox1", tr("Member List"));
    auto* members = new QVBoxLayout(GroupBox1);
    members->setContentsMargins(1, 2, 1, 0);
    dbgInfo = named<QTableView>("dbgInfo");
    m_gridModel = m_memberGrid = new MemberGridModel(m_dsrc.QStaff, this);
    dbgInfo->setModel(m_gridModel);
    dbgInfo->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dbgInfo->setSelectionBehavior(QAbstractItemView::SelectRows);
    dbgInfo->setSelectionMode(QAbstractItemView::SingleSelection);
    dbgInfo->setContextMenuPolicy(Qt::CustomContextMenu);
    dbgInfo->verticalHeader()->setDefaultSectionSize(18);
    dbgInfo->verticalHeader()->hide(); // the selected row shows which member is current
    dbgInfo->horizontalHeader()->setSectionsClickable(true);
    dbgInfo->horizontalHeader()->setHighlightSections(false);
    dbgInfo->horizontalHeader()->setDefaultSectionSize(100);
    dbgInfo->horizontalHeader()->setSortIndicatorShown(true);
    dbgInfo->horizontalHeader()->setSortIndicator(1, Qt::AscendingOrder);
    // Tab leaves the grid instead of walking its cells.
    dbgInfo->setTabKeyNavigation(false);
    puMenu = named<QMenu>("puMenu", this);
    members->addWidget(buildSearchBox());
    members->addWidget(dbgInfo);

    Panel5 = named<QFrame>("Panel5");
    Panel5->setFixedHeight(32);
    auto* bottom = new QHBoxLayout(Panel5);
    bottom->setContentsMargins(0, 0, 0, 0);
    bDelete = button("bDelete", tr("Delete"), Panel5);
    bDelAll = button("bDelAll", tr("Delete All"), Panel5);
    bPreview = button("bPreview", tr("Preview"), Panel5);
    bottom->addWidget(bDelete);
    bottom->addWidget(bDelAll);
    bottom->addWidget(bPreview);
    bottom->addStretch();
    members->addWidget(Panel5);
    listLayout->addWidget(GroupBox1, 1);
}

void TMelbrin::buildDetails()
{
    gbDetails = named<QGroupBox>("gbDetails", tr("Staff Details"));
    gbDetails->setFixedWidth(324);
    auto* layout = new QVBoxLayout(gbDetails);
    layout->setContentsMargins(2, 2, 2, 2);

    Panel2 = named<QFrame>("Panel2");
    Panel2->setFixedHeight(290);
    struct Editor
    {
        const char* label;
        QWidget* editor;
    };
    eStaffNo = named<QLineEdit>("eStaffNo");
    eName = named<QLineEdit>("eName");
    eCname = named<QLineEdit>("eCname");
    ePost = named<QLineEdit>("ePost");
    auto save = [this] { runCommand([this] { bSaveClick(); }); };
    dpJoin = named<DateField>("dpJoin", save);
    dpExpiry = named<DateField>("dpExpiry", save);
    eRemark = named<QLineEdit>("eRemark");
    for (QDateEdit* dp : {dpJoin, dpExpiry}) {
        dp->setDisplayFormat(QStringLiteral("d/MMM, yyyy"));
        dp->setCalendarPopup(true);
        dp->setDate(QDate::currentDate());
    }
    const Editor editors[] = {
        {"Staff No:", eStaffNo}, {"Name:", eName},           {"Chinese:", eCname}, {"Post", ePost},
        {"Date Join:", dpJoin},  {"Expiry Date:", dpExpiry}, {"Remark:", eRemark},
    };
    int y = 4;
    for (const Editor& e : editors) {
        auto* label = new QLabel(tr(e.label), Panel2);
        label->move(8, y);
        e.editor->setParent(Panel2);
        e.editor->setGeometry(8, y + 16, 157, 21);
        y += 40;
    }

    GroupBox2 = named<QGroupBox>("GroupBox2", tr("Photo"));
    GroupBox2->setParent(Panel2);
    GroupBox2->setGeometry(176, 4, 137, 245);
    Panel4 = named<QFrame>("Panel4");
    Panel4->setParent(GroupBox2);
    Panel4->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel4->setGeometry(6, 18, 124, 164);
    imgPhoto = named<imaging::ImageBox>("imgPhoto", Panel4);
    imgPhoto->setGeometry(2, 2, 120, 160);
    bRotate = button("bRotate", tr("Rotate"), GroupBox2, {60, 25});
    bRotate->move(6, 188);
    bPhoto = button("bPhoto", tr("Photo"), GroupBox2, {60, 25});
    bPhoto->move(70, 188);
    bpClear = button("bpClear", tr("Clear"), GroupBox2, {60, 25});
    bpClear->move(6, 215);
    layout->addWidget(Panel2);

    Panel3 = named<QFrame>("Panel3");
    auto* buttons = new QHBoxLayout(Panel3);
    buttons->setContentsMargins(4, 0, 4, 0);
    bSave = button("bSave", tr("Save"), Panel3);
    bClear = button("bClear", tr("Clear"), Panel3);
    bResizeAll = button("bResizeAll", tr("Resize All"), Panel3);
    bResizeAll->setVisible(false); // the batch downsizing is not offered to users
    buttons->addWidget(bSave);
    buttons->addWidget(bClear);
    buttons->addStretch();
    buttons->addWidget(bResizeAll);
    layout->addWidget(Panel3);
    layout->addStretch();
}

void TMelbrin::buildTabOrder()
{
    QWidget* const order[] = {lstGroup, bNewGrp,  bRemove, eFind,   dbgInfo, bDelete, bDelAll,
                              bPreview, eStaffNo, eName,   eCname,  ePost,   dpJoin,  dpExpiry,
                              eRemark,  bSave,    bClear,  bRotate, bPhoto,  bpClear};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

} // namespace app
