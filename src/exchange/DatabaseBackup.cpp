#include "DatabaseBackup.h"

#include "data/Answers.h"
#include "data/Connection.h"
#include "data/Error.h"
#include "data/OutputFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <filesystem>
#include <sqlcipher/sqlite3.h>

namespace exchange {
namespace {

std::filesystem::path fsPath(const QString& path)
{
    return std::filesystem::path(path.toStdU16String());
}

// The new file is written under ".NAME.XXXXXX.part", its journal beside it.
QString partTemplate(const QFileInfo& target)
{
    return target.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX.part").arg(target.fileName()));
}

// A run that was killed left its new file and journal behind; they go when the next copy
// to the same destination starts.
void removeLeftovers(const QFileInfo& target)
{
    const QString prefix = QStringLiteral(".%1.").arg(target.fileName());
    const QDir folder = target.absoluteDir();
    const QStringList names
        = folder.entryList({QStringLiteral(".*.part*")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        if (!name.startsWith(prefix))
            continue;
        const QString rest = name.mid(prefix.size());
        if ((rest.size() == 11 && rest.endsWith(QStringLiteral(".part")))
            || (rest.size() == 19 && rest.endsWith(QStringLiteral(".part-journal"))))
            QFile::remove(folder.filePath(name));
    }
}

// The new file and its journal are removed unless the copy took their place.
class PartFile
{
public:
    explicit PartFile(QString path)
        : m_path(std::move(path))
    { }
    ~PartFile()
    {
        if (m_keep)
            return;
        QFile::remove(m_path);
        QFile::remove(m_path + QStringLiteral("-journal"));
    }
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;
    const QString& path() const { return m_path; }
    void keep() { m_keep = true; }

private:
    QString m_path;
    bool m_keep = false;
};

// Copies every page of the source into the keyed, empty file at path. While the program's
// connection is inside a transaction it cannot be read for a backup; the copy is then read
// through a connection of its own and holds what was last committed.
bool backupInto(data::Connection& source, const QString& path, QString& reason)
{
    const QString password = data::parseConnectionString(source.connectionString()).password;
    sqlite3* target = nullptr;
    sqlite3* reader = nullptr;
    try {
        if (source.inTransaction())
            reader = data::Connection::openKeyed(source.fileName(), password, false);
        target = data::Connection::openKeyed(path, password, true);
    } catch (const data::Error& e) {
        reason = e.message();
        sqlite3_close(reader);
        return false;
    }
    int rc = SQLITE_ERROR;
    sqlite3* from = reader ? reader : source.handle();
    if (sqlite3_backup* backup = sqlite3_backup_init(target, "main", from, "main")) {
        // The source may be busy for a moment; give up after about three seconds.
        for (int tries = 0; tries < 300; ++tries) {
            rc = sqlite3_backup_step(backup, -1);
            if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED)
                break;
            sqlite3_sleep(10);
        }
        if (rc != SQLITE_DONE)
            reason = QString::fromUtf8(sqlite3_errstr(rc));
        if (sqlite3_backup_finish(backup) != SQLITE_OK) {
            if (rc == SQLITE_DONE)
                reason = QString::fromUtf8(sqlite3_errmsg(target));
            rc = SQLITE_ERROR;
        }
    } else {
        reason = QString::fromUtf8(sqlite3_errmsg(target));
    }
    const bool closed = sqlite3_close(target) == SQLITE_OK;
    if (!closed && rc == SQLITE_DONE)
        reason = QString::fromUtf8(sqlite3_errmsg(target));
    sqlite3_close(reader);
    return rc == SQLITE_DONE && closed;
}

bool copyDatabase(data::Connection& source, const QString& destination, QString& reason)
{
    if (!source.isOpen()) {
        reason = QStringLiteral("the database is not open");
        return false;
    }
    reason = data::outputRefusal(destination, source.fileName());
    if (!reason.isEmpty())
        return false;
    const QFileInfo target(destination);
    removeLeftovers(target);

    QString partPath;
    {
        QTemporaryFile part(partTemplate(target));
        part.setAutoRemove(false);
        if (!part.open()) {
            reason = part.errorString();
            return false;
        }
        partPath = part.fileName();
    }
    PartFile part(partPath);
    if (!backupInto(source, part.path(), reason))
        return false;
    QFile::setPermissions(part.path(), QFileInfo(source.fileName()).permissions());

    std::error_code error;
    std::filesystem::rename(fsPath(part.path()), fsPath(target.absoluteFilePath()), error);
    if (error) {
        reason = QString::fromStdString(error.message());
        return false;
    }
    part.keep();
    return true;
}

} // namespace

bool CopyDatabaseFile(data::Connection& source, const QString& destination, QString* reason)
{
    QString why;
    const bool copied = copyDatabase(source, destination, why);
    if (reason)
        *reason = copied ? QString() : why;
    return copied;
}

QString proposedBackupPath()
{
    // Never the folder the program runs in, where the open database itself lies.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    return QDir(folder).filePath(databaseBackupName);
}

void saveDatabase(QWidget* owner, data::Connection& source)
{
    const std::optional<QString> chosen
        = data::answers().saveFileName(owner, databaseFileFilter, proposedBackupPath());
    if (!chosen)
        return;
    if (QFileInfo::exists(*chosen) && !data::confirmBox(QStringLiteral("Overwrite the file?")))
        return;
    QString reason;
    if (CopyDatabaseFile(source, *chosen, &reason))
        data::showInformation(QStringLiteral("Database saved."));
    else
        data::showError(QStringLiteral("Database cannot be saved. Please retry."), reason);
}

} // namespace exchange
