// Which card database the window works on: a file or a server, chosen at start or with
// Open Database, shown in the status bar; and the password a server asks for.
#include "TMelbrin.h"
#include "data/Answers.h"
#include "data/Connection.h"
#include "data/Engine.h"
#include "data/Error.h"
#include "data/ErrorHandler.h"
#include "data/ServerEngine.h"
#include "data/ServerSql.h"
#include "data/Tdsrc.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>

namespace app {
namespace {

const QString databaseSetting = QStringLiteral("Database");

QSettings settings()
{
    return QSettings(QStringLiteral("Tavrik"), QStringLiteral("Melbrin"));
}

} // namespace

void TMelbrin::buildDatabaseCommands()
{
    mnuFile = menuBar()->addMenu(tr("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    actOpenDatabase
        = new QAction(style()->standardIcon(QStyle::SP_DirOpenIcon), tr("&Open Database..."), this);
    actOpenDatabase->setObjectName(QStringLiteral("actOpenDatabase"));
    actOpenDatabase->setShortcut(QKeySequence::Open);
    mnuFile->addAction(actOpenDatabase);
    actDatabasePassword = new QAction(tr("Database &Password..."), this);
    actDatabasePassword->setObjectName(QStringLiteral("actDatabasePassword"));
    actDatabasePassword->setToolTip(tr("Give the database file a password of its own"));
    mnuFile->addAction(actDatabasePassword);

    mnuView = menuBar()->addMenu(tr("&View"));
    mnuView->setObjectName(QStringLiteral("mnuView"));
    actRefresh = new QAction(style()->standardIcon(QStyle::SP_BrowserReload), tr("&Refresh"), this);
    actRefresh->setObjectName(QStringLiteral("actRefresh"));
    actRefresh->setShortcut(Qt::Key_F5);
    actRefresh->setToolTip(tr("Read the groups and the member list again"));
    mnuView->addAction(actRefresh);

    sbDatabase = new QLabel(sbInfo);
    sbDatabase->setObjectName(QStringLiteral("sbDatabase"));
    sbInfo->addPermanentWidget(sbDatabase);

    data::setServerPasswordPrompt([this](const QString& address, const QString& problem) {
        return askServerPassword(address, problem);
    });
}

QString TMelbrin::startupDatabase()
{
    const QString remembered = rememberedDatabase();
    if (!remembered.isEmpty())
        return remembered;
    return QDir(QCoreApplication::applicationDirPath()).filePath(data::Tdsrc::databaseFileName());
}

QString TMelbrin::rememberedDatabase()
{
    return settings().value(databaseSetting).toString();
}

void TMelbrin::rememberDatabase(const QString& source)
{
    QSettings s = settings();
    s.setValue(databaseSetting, withoutPassword(source));
    s.sync();
    if (s.status() != QSettings::NoError)
        throw data::Error(QStringLiteral("Failed to set data for '%1'").arg(databaseSetting));
}

QString TMelbrin::withoutPassword(const QString& source)
{
    return data::isServerAddress(source) ? data::addressWithoutPassword(source) : source;
}

void TMelbrin::showDatabaseName()
{
    if (!m_dsrc.src.isOpen()) {
        sbDatabase->clear();
        sbDatabase->setToolTip({});
        return;
    }
    // A file by its name, a server database by its own name (the text after the address's
    // last "/"); in full as the tip.
    const QString source = m_dsrc.src.fileName();
    const bool server = m_dsrc.src.isServer();
    const QString full = server ? withoutPassword(source)
                                : QDir::toNativeSeparators(QFileInfo(source).absoluteFilePath());
    const QString name
        = server ? full.section(u'?', 0, 0).section(u'/', -1) : QFileInfo(source).fileName();
    // Narrow enough that the counts beside it keep their room at the window's default width.
    sbDatabase->setText(sbDatabase->fontMetrics().elidedText(name, Qt::ElideMiddle, 120));
    sbDatabase->setToolTip(full);
}

void TMelbrin::actOpenDatabaseExecute()
{
    const std::optional<QString> chosen = data::answers().chooseDatabase(
        this, tr("Open Database"),
        tr("The card database file, or the address of a database on a server "
           "(postgresql://user@host:port/dbname):"),
        withoutPassword(m_databasePath));
    if (!chosen || chosen->trimmed().isEmpty())
        return;
    const QString source = data::absoluteDataSource(chosen->trimmed());
    const QString key = unlockKey(source);
    {
        // Tried on a connection of its own first: what cannot be opened, or holds no card
        // tables, leaves the database open as it is.
        data::Connection trial;
        trial.setConnectionString(data::buildConnectionString(source, key));
        trial.open();
        for (const char* table : {"grptbl", "stafftbl"}) {
            if (!trial.engine().hasTable(QString::fromLatin1(table)))
                throw data::Error(QStringLiteral("'%1' holds no card database: it has no table %2")
                                      .arg(withoutPassword(source), QString::fromLatin1(table)));
        }
    }
    leaveSearch(false);
    const QString previous = m_databasePath;
    const QString previousKey = m_dsrc.key();
    m_databasePath = source;
    try {
        m_dsrc.connectTo(source, key);
    } catch (const std::exception&) {
        // Gone between the trial and now: back to the one that was open.
        m_databasePath = previous;
        data::guarded([&] { m_dsrc.connectTo(previous, previousKey); });
        data::guarded([this] { showOpenedDatabase(); });
        throw;
    }
    showOpenedDatabase();
    rememberDatabase(source);
}

void TMelbrin::showOpenedDatabase()
{
    showDatabaseName();
    m_listStale = false;
    if (m_dsrc.src.isOpen()) {
        fillGroupList();
        OpenGroupMembers();
    } else {
        lstGroup->clear();
        syncGrid();
    }
    ShowDetails();
}

std::optional<QString> TMelbrin::askServerPassword(const QString& address, const QString& problem)
{
    // Within a run the password given once serves every later connection to the address
    // (the trial of Open Database, a reconnection) until the server refuses it.
    const QString shown = withoutPassword(address);
    if (problem.isEmpty()) {
        if (const auto known = m_serverPasswords.constFind(shown);
            known != m_serverPasswords.cend())
            return *known;
    }
    QString prompt = tr("Password for %1:").arg(shown);
    if (!problem.isEmpty())
        prompt = problem + QStringLiteral("\n\n") + prompt;
    const std::optional<QString> password
        = data::answers().inputPassword(this, tr("Database Password"), prompt);
    if (password)
        m_serverPasswords.insert(shown, *password);
    else
        m_serverPasswords.remove(shown);
    return password;
}

} // namespace app
