#include "TMelbrin.h"

#include "Taboutbox.h"
#include "cards/CardOptions.h"
#include "cards/layout/LayoutCommand.h"
#include "cards/layout/TFmLayout.h"
#include "cards/print/CardCommands.h"
#include "cards/print/CheckList.h"
#include "data/ErrorHandler.h"
#include "data/QueryTableModel.h"
#include "data/ServerEngine.h"
#include "data/Tdsrc.h"
#include "data/WindowSettings.h"
#include "exchange/DatabaseBackup.h"
#include "exchange/ImportCommand.h"
#include "exchange/PhotoDownsize.h"
#include "imaging/TPg.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>

namespace app {

TMelbrin::TMelbrin(data::Tdsrc& dsrc, const QString& databasePath, QWidget* parent)
    : QMainWindow(parent)
    , m_dsrc(dsrc)
    , m_databasePath(databasePath)
{
    setObjectName(QStringLiteral("Melbrin"));
    setWindowTitle(QStringLiteral("Melbrin"));
    setGeometry(260, 191, 652, 426);

    buildActions();
    buildStaffList();
    buildDetails();

    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(gbList, 1);
    layout->addWidget(gbDetails);
    setCentralWidget(central);
    buildTabOrder();

    sbInfo = new QStatusBar(this);
    sbInfo->setObjectName(QStringLiteral("sbInfo"));
    sbInfo->setSizeGripEnabled(true);
    const int widths[] = {200, 200, 50};
    for (int i = 0; i < 3; ++i) {
        sbPanel[i] = new QLabel(sbInfo);
        sbPanel[i]->setObjectName(QStringLiteral("sbInfoPanel%1").arg(i));
        sbPanel[i]->setMinimumWidth(widths[i]);
        sbInfo->addWidget(sbPanel[i], i == 2 ? 1 : 0);
    }
    setStatusBar(sbInfo);

    buildDatabaseCommands();
    connectHandlers();
    buildPhotoCommands();
    compactCommandBar();
    data::guarded([this] { FormCreate(); });
}

TMelbrin::~TMelbrin()
{
    // Closing the window as it is destroyed takes the focus from the search box, whose
    // handler must not reach this half-destroyed window.
    releaseSearchBox();
    data::setServerPasswordPrompt({});
}

void TMelbrin::connectHandlers()
{
    // Every command runs through the general error handler: an error ends the command,
    // is shown, and the program goes on.
    auto on = [this](auto* sender, auto signal, void (TMelbrin::*handler)()) {
        connect(sender, signal, this, [this, handler] { runCommand([&] { (this->*handler)(); }); });
    };
    on(actExit, &QAction::triggered, &TMelbrin::actExitExecute);
    on(actAbout, &QAction::triggered, &TMelbrin::actAboutExecute);
    on(actImport, &QAction::triggered, &TMelbrin::actImportExecute);
    on(actCheckList, &QAction::triggered, &TMelbrin::actCheckListExecute);
    on(actSave, &QAction::triggered, &TMelbrin::actSaveExecute);
    on(actLayout, &QAction::triggered, &TMelbrin::actLayoutExecute);
    on(actOpenDatabase, &QAction::triggered, &TMelbrin::actOpenDatabaseExecute);
    on(actDatabasePassword, &QAction::triggered, &TMelbrin::actDatabasePasswordExecute);
    on(actRefresh, &QAction::triggered, &TMelbrin::actRefreshExecute);
    on(lstGroup, &QComboBox::activated, &TMelbrin::lstGroupClick);
    on(bSave, &QPushButton::clicked, &TMelbrin::bSaveClick);
    on(bClear, &QPushButton::clicked, &TMelbrin::bClearClick);
    on(bDelete, &QPushButton::clicked, &TMelbrin::bDeleteClick);
    on(bDelAll, &QPushButton::clicked, &TMelbrin::bDelAllClick);
    on(bPhoto, &QPushButton::clicked, &TMelbrin::bPhotoClick);
    on(bRotate, &QPushButton::clicked, &TMelbrin::bRotateClick);
    on(bpClear, &QPushButton::clicked, &TMelbrin::bpClearClick);
    on(bNewGrp, &QPushButton::clicked, &TMelbrin::bNewGrpClick);
    on(bRemove, &QPushButton::clicked, &TMelbrin::bRemoveClick);
    on(bPreview, &QPushButton::clicked, &TMelbrin::bPreviewClick);
    on(bResizeAll, &QPushButton::clicked, &TMelbrin::bResizeAllClick);
    on(dbgInfo, &QTableView::clicked, &TMelbrin::dbgInfoCellClick);
    // Delete in the grid is the Delete command, with its question.
    auto* deleteKey = new QAction(dbgInfo);
    deleteKey->setShortcut(QKeySequence::Delete);
    deleteKey->setShortcutContext(Qt::WidgetShortcut);
    dbgInfo->addAction(deleteKey);
    on(deleteKey, &QAction::triggered, &TMelbrin::bDeleteClick);
    // Enter in a details field saves the panel.
    for (QLineEdit* field : {eStaffNo, eName, eCname, ePost, eRemark})
        on(field, &QLineEdit::returnPressed, &TMelbrin::bSaveClick);
    connect(dbgInfo->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { data::guarded([&] { dbgInfoTitleClick(column); }); });
    connect(dbgInfo, &QWidget::customContextMenuRequested, this, &TMelbrin::showPopupMenu);
    connect(dbgInfo->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { gridRowChanged(current.row()); });
    dbgInfo->viewport()->installEventFilter(this);
    dbgInfo->horizontalHeader()->viewport()->installEventFilter(this);
    dbgInfo->installEventFilter(this);
}

void TMelbrin::FormCreate()
{
    if (m_databasePath.isEmpty())
        m_databasePath = startupDatabase();
    m_dsrc.connectTo(m_databasePath, unlockKey(m_databasePath));
    showDatabaseName();
    syncGrid();
    m_sortField = QStringLiteral("name");
    ReloadGroups();
}

void TMelbrin::actExitExecute()
{
    close();
}

void TMelbrin::closeEvent(QCloseEvent* event)
{
    data::guarded([this] {
        leaveSearch(false); // the group list's column widths are kept
        data::SaveWindow(QStringLiteral("MainWin"), this);
        data::SaveGridColumns(QStringLiteral("MainGrid"), dbgInfo);
    });
    QMainWindow::closeEvent(event);
}

void TMelbrin::actAboutExecute()
{
    Taboutbox about(this);
    about.exec();
}

void TMelbrin::actImportExecute()
{
    bool reload = false;
    {
        imaging::TPg progress(this);
        reload = exchange::importWorkbook(this, m_dsrc, progress);
    }
    if (reload)
        ReloadGroups();
}

void TMelbrin::actSaveExecute()
{
    exchange::saveDatabase(this, m_dsrc.src);
}

void TMelbrin::bResizeAllClick()
{
    // The member grid shows the reopened list afterwards, also after a failure.
    struct Resync
    {
        TMelbrin* w;
        ~Resync() { w->syncGrid(); }
    } resync {this};
    imaging::TPg progress(this);
    exchange::resizeAllPhotos(m_dsrc, progress);
}

void TMelbrin::actCheckListExecute()
{
    cards::actCheckListExecute(this, m_dsrc);
}

void TMelbrin::actLayoutExecute()
{
    cards::actLayoutExecute(this, m_dsrc);
    refreshReprints();
}

void TMelbrin::bPreviewClick()
{
    // The stored settings, loaded by a layout dialog that is never shown.
    cards::TFmLayout layout(m_dsrc, this);
    cards::previewSelectedMember(this, m_dsrc, layout.options(), layout.fields);
    refreshReprints();
}

} // namespace app
