#include "DatabaseBackup.h"

#include "DatabaseCopy.h"
#include "PartFile.h"
#include "data/Answers.h"
#include "data/Connection.h"
#include "data/DatabaseKey.h"
#include "data/Error.h"
#include "data/OutputFile.h"
#include "imaging/Progress.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <sqlcipher/sqlite3.h>

namespace exchange {
namespace {

// Copies every page of the source into the keyed, empty file at path. While the program's
// connection is inside a transaction it cannot be read for a backup; the copy is then read
// through a connection of its own and holds what was last committed.
bool backupInto(data::Connection& source, const QString& path, QString& reason)
{
    const QString password = sourceCopyKey(source);
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

bool copyDatabase(data::Connection& source, const QString& destination, QString& reason,
                  imaging::Progress* progress, const std::optional<QString>& copyKey)
{
    if (!source.isOpen()) {
        reason = QStringLiteral("the database is not open");
        return false;
    }
    if (source.isServer()) {
        imaging::NullProgress quiet;
        try {
            copyToFile(source, destination, progress ? *progress : quiet, copyKey);
        } catch (const data::Error& e) {
            reason = e.message();
            return false;
        }
        return true;
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

    try {
        // The copy is made with the source's key and takes its own before it gets its name.
        if (copyKey)
            data::rekeyDatabase(part.path(), sourceCopyKey(source), *copyKey);
        replaceWithPart(part, target);
    } catch (const data::Error& e) {
        reason = e.message();
        return false;
    }
    return true;
}

} // namespace

bool CopyDatabaseFile(data::Connection& source, const QString& destination, QString* reason,
                      imaging::Progress* progress, const std::optional<QString>& copyKey)
{
    QString why;
    const bool copied = copyDatabase(source, destination, why, progress, copyKey);
    if (reason)
        *reason = copied ? QString() : why;
    return copied;
}

QString sourceCopyKey(data::Connection& source)
{
    return source.isServer() ? data::defaultKey()
                             : data::parseConnectionString(source.connectionString()).password;
}

QString copyProtection(const QString& key)
{
    return QStringLiteral("The copy is %1.").arg(data::keyProtection(key));
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
        data::showInformation(
            QStringLiteral("Database saved.\n%1").arg(copyProtection(sourceCopyKey(source))));
    else
        data::showError(QStringLiteral("Database cannot be saved. Please retry."), reason);
}

} // namespace exchange
