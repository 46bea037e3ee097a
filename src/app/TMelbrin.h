#pragma once

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QVariant>
#include <functional>
#include <optional>

class QAction;
class QCheckBox;
class QCloseEvent;
class QComboBox;
class QDateEdit;
class QFrame;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStatusBar;
class QTimer;
class QTableView;
class QToolBar;

namespace imaging {
class ImageBox;
enum class PhotoFit;
} // namespace imaging

namespace data {
class Query;
class Tdsrc;
class QueryTableModel;
} // namespace data

namespace app {

class MemberGridModel;

// The main window: the staff list at the left, the details of one member at the right,
// the command bar on top and the three counts below.
class TMelbrin : public QMainWindow
{
    Q_OBJECT
public:
    // databasePath empty: the card database beside the program.
    explicit TMelbrin(data::Tdsrc& dsrc, const QString& databasePath = {},
                      QWidget* parent = nullptr);
    ~TMelbrin() override;

    const QString& FDatabasePath() const { return m_databasePath; }
    const QString& FSortField() const { return m_sortField; }
    int FGroupId() const { return m_groupId; }

    // Controls, named as the program's users and its tests know them.
    QToolBar* ActionToolBar1 = nullptr;
    QAction* actExit = nullptr;
    QAction* actAbout = nullptr;
    QAction* actImport = nullptr;
    QAction* actCheckList = nullptr;
    QAction* actSave = nullptr;
    QAction* actLayout = nullptr;
    QAction* actImportPhotos = nullptr;
    // The menu bar: File holds Open Database and Database Password, View the list's
    // Refresh (F5).
    QMenu* mnuFile = nullptr;
    QMenu* mnuView = nullptr;
    QAction* actOpenDatabase = nullptr;
    QAction* actDatabasePassword = nullptr;
    QAction* actRefresh = nullptr;

    QGroupBox* gbList = nullptr;
    QFrame* Panel1 = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* lstGroup = nullptr;
    QPushButton* bNewGrp = nullptr;
    QPushButton* bRemove = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLabel* lFind = nullptr;
    QLineEdit* eFind = nullptr;
    QTableView* dbgInfo = nullptr;
    QMenu* puMenu = nullptr;
    QFrame* Panel5 = nullptr;
    QPushButton* bDelete = nullptr;
    QPushButton* bDelAll = nullptr;
    QPushButton* bPreview = nullptr;

    QGroupBox* gbDetails = nullptr;
    QFrame* Panel2 = nullptr;
    QLineEdit* eStaffNo = nullptr;
    QLineEdit* eName = nullptr;
    QLineEdit* eCname = nullptr;
    QLineEdit* ePost = nullptr;
    QDateEdit* dpJoin = nullptr;
    QDateEdit* dpExpiry = nullptr;
    QLineEdit* eRemark = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QFrame* Panel4 = nullptr;
    imaging::ImageBox* imgPhoto = nullptr;
    QPushButton* bRotate = nullptr;
    QPushButton* bPhoto = nullptr;
    QPushButton* bpClear = nullptr;
    QCheckBox* cbPhotoCrop = nullptr; // the Photo button crops a picture not 3:4
    QFrame* Panel3 = nullptr;
    QPushButton* bSave = nullptr;
    QPushButton* bClear = nullptr;
    QPushButton* bResizeAll = nullptr;

    QStatusBar* sbInfo = nullptr;
    QLabel* sbPanel[3] = {};
    // At the right of the status bar: the database open (file name or server address).
    QLabel* sbDatabase = nullptr;

    void actExitExecute();
    void actAboutExecute();
    void actImportExecute();
    void actCheckListExecute();
    void actSaveExecute();
    void actLayoutExecute();
    void actImportPhotosExecute();
    // Asks for a database file or server address and opens it instead of the one open; a
    // failure keeps the old one open. The choice is remembered for the next start.
    void actOpenDatabaseExecute();
    // Gives the open database file a password of its own, another one, or the program's
    // default one again (both fields left empty); remembers it on this computer when asked
    // to. A failure leaves the file with the password it had, and the window on it.
    void actDatabasePasswordExecute();
    void actRefreshExecute();

    // Re-reads the groups and the member list, keeping the group, the current member (or
    // its place, when it is gone) and the scroll place. The details panel shows the current
    // member again when it showed a member and holds nothing typed, or always with
    // showMember.
    void refreshList(bool showMember = false);
    // The details panel holds changes not saved: typing, or a photo changed.
    bool detailsEdited() const;

    // The database opened at start when none is given: the one remembered, else the card
    // database beside the program.
    static QString startupDatabase();
    // What is remembered: a file path or a server address, never a password.
    static QString rememberedDatabase();
    static void rememberDatabase(const QString& source);
    // A server address without a password written into it; a file path as it is.
    static QString withoutPassword(const QString& source);

    // The member list.
    void ReloadGroups();
    void OpenGroupMembers();
    void UpdateStatusBar();
    void ClearDetails();
    void ShowDetails();
    void lstGroupClick();
    void dbgInfoTitleClick(int column);
    void dbgInfoCellClick();
    void dbgInfoMouseUp();
    void dbgInfoKeyUp();

    // The details panel.
    void StoreDetails(bool found);
    void bSaveClick();
    void bClearClick();
    void bDeleteClick();
    void bDelAllClick();
    void bPhotoClick();
    void bRotateClick();
    void bpClearClick();
    imaging::PhotoFit photoFit() const;
    void bNewGrpClick();
    void bRemoveClick();
    void PopupClick(QAction* item);
    void bPreviewClick();
    void bResizeAllClick();

    // The group list's last entry, "Cards to reprint": the members of every group whose card
    // data changed since their card was last printed. Its entry holds this number, which no
    // group can have.
    static constexpr int reprintListId = -32769;
    bool showingReprints() const { return m_groupId == reprintListId; }
    // The groups, then the reprint entry where the file keeps the times; the first selected.
    void fillGroupList();

    // The search across groups: while the search box holds text, the grid lists the members
    // of every group that match it, with their groups; the commands act on that list. Esc or
    // an empty box goes back to the chosen group.
    bool searching() const { return !m_findText.isEmpty(); }
    const QString& findText() const { return m_findText; }
    void eFindChange();
    void eFindEnter();
    void eFindExit();

    // The command bar has no menu of bars to hide.
    QMenu* createPopupMenu() override { return nullptr; }

protected:
    data::Tdsrc& dsrc() const { return m_dsrc; }
    data::QueryTableModel* gridModel() const { return m_gridModel; }
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Coming back from another program, the list is read again (see refreshIfStale).
    void changeEvent(QEvent* event) override;
    // However the window is closed, its placement and the grid's column widths are kept.
    void closeEvent(QCloseEvent* event) override;

private:
    // Runs a command through the general error handler. A change refused because another
    // station changed the row meanwhile gives up what is pending, re-reads the list and
    // then shows why, once.
    void runCommand(const std::function<void()>& command);
    // Gives up the rows being edited and a transaction left open.
    void cancelPendingChanges();
    // The refresh after the window came back from another program, unless the user is in
    // the middle of something: a command, a dialog, a menu or typing in the panel.
    void refreshIfStale();
    // Save of the member the panel was filled from: refused with RowConflict when another
    // station changed or removed that member since (where rows carry versions).
    void requireShownMemberUnchanged(const QString& name);
    // Notes the panel as filled from the current member (or from none) and unchanged.
    void noteDetailsShown(bool member);
    QStringList detailsTexts() const;
    void buildDatabaseCommands();
    void showDatabaseName();
    // The lists of the database just opened (or of none, when it could not be).
    void showOpenedDatabase();
    std::optional<QString> askServerPassword(const QString& address, const QString& problem);
    // The key that opens source: the one the window has it open with, the one remembered
    // on this computer, the default one, or what the user gives when asked.
    QString unlockKey(const QString& source);
    // Connects to the file at path again with key, showing the same group and, where it is
    // still there, the member member (a seq); the panel shows it unless it holds typing.
    void reopenDatabase(const QString& path, const QString& key, const QVariant& member);
    // What the key store keeps for the file after its password was chosen.
    static void rememberKey(const QString& path, const QString& key, bool remember);
    void buildActions();
    void buildStaffList();
    void buildDetails();
    void buildTabOrder();
    void buildPhotoCommands();
    // Narrows the command bar's buttons so that all of them show at the default width.
    void compactCommandBar();
    // The search box's row above the grid.
    QWidget* buildSearchBox();
    // The search box stops telling this window of its focus.
    void releaseSearchBox();
    // Keys in the member grid: a key that moved the current row shows the member there.
    // True when the key was handled here.
    bool gridKeyPressed(const QKeyEvent& key);
    void gridKeyReleased(const QKeyEvent& key);
    void connectHandlers();
    void FormCreate();
    // Shows the rows of QStaff again after they changed, with its current row selected.
    void syncGrid();
    void gridRowChanged(int row);
    void showPopupMenu(const QPoint& pos);
    // Opens puMenu at a point of the grid's viewport.
    void openPopupMenu(const QPoint& pos);
    // Writes the panel into the current or a new row of query, with the given group.
    void storeDetailsInto(data::Query& query, bool found, int gid);
    // Save while the reprint list is shown: the member is stored in its own group and the
    // list stays; a new member needs a group and is refused.
    void saveInReprintList(const QString& name, bool found);
    // The reprint list again after cards may have been printed.
    void refreshReprints();
    // Runs the search in QStaff, keeping the current member where it is still found.
    void openSearchResults();
    void runPendingSearch();
    void fitSearchColumns();
    // Keeps the members' rows in memory while the search box is used.
    void holdMembers(bool hold);
    // Back to the chosen group's list, with the member that was current there; quietly
    // leaves the grid for the caller to fill.
    void leaveSearch(bool reopen);
    void saveInSearchResults(const QString& name, bool found);
    // The question before deleting every member found.
    bool confirmDeleteFound() const;

    data::Tdsrc& m_dsrc;
    data::QueryTableModel* m_gridModel = nullptr;
    MemberGridModel* m_memberGrid = nullptr;
    QString m_databasePath;
    QString m_sortField;
    int m_groupId = 0;
    // The grid's current row after its last key; -2 until a key goes down in the grid after
    // it got the focus.
    int m_rowAtKeyPress = -2;
    // The text of the search shown; empty while a group's list is shown.
    QString m_findText;
    // The member current in the group's list when the search began (its seq).
    QVariant m_groupSelection;
    // Keys typed while the last search is fresh are searched for together when it runs out.
    QTimer* m_findTimer = nullptr;
    // The widths of the group list's columns while the search's narrower ones are shown.
    QList<int> m_groupColumnWidths;
    bool m_findPending = false;
    bool m_membersHeld = false;

    // The member the details panel was filled from: seq (Null for none), name and the
    // version it was read at; and the panel's texts then.
    struct ShownMember
    {
        QVariant seq;
        QString name;
        std::optional<qint64> version;
        QStringList texts;
        bool photoChanged = false;
    } m_shown;
    // Commands running now: no refresh comes between their steps.
    int m_commandsRunning = 0;
    // The window was left for another program since the list was last read.
    bool m_listStale = false;
    // Passwords given for server addresses during this run, asked again only when refused.
    QHash<QString, QString> m_serverPasswords;
};

} // namespace app
