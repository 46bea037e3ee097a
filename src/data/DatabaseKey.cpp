#include "DatabaseKey.h"

#include "Connection.h"
#include "Error.h"
#include "Tdsrc.h"

#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QStringDecoder>
#include <sqlcipher/sqlite3.h>

namespace data {

QString defaultKey()
{
    return Tdsrc::password();
}

bool isDefaultKey(const QString& key)
{
    return key == defaultKey();
}

QString keyProtection(const QString& key)
{
    return isDefaultKey(key) ? QStringLiteral("protected by the program's default password")
                             : QStringLiteral("protected by this database's own password");
}

void checkPassphrase(const QString& passphrase)
{
    if (passphrase.isEmpty())
        throw Error(QStringLiteral("The password is empty"));
}

namespace {

struct Handle
{
    sqlite3* db = nullptr;
    ~Handle() { sqlite3_close(db); }
};

// Opens path with key without the checks of Connection::openKeyed; the result code of the
// first read tells whether the key fits.
int tryKey(const QString& path, const QString& key, Handle& handle, QString& reason)
{
    if (sqlite3_open_v2(path.toUtf8().constData(), &handle.db, SQLITE_OPEN_READWRITE, nullptr)
        != SQLITE_OK) {
        reason = handle.db ? QString::fromUtf8(sqlite3_errmsg(handle.db))
                           : QStringLiteral("out of memory");
        return SQLITE_CANTOPEN;
    }
    const QByteArray bytes = key.toUtf8();
    sqlite3_key_v2(handle.db, "main", bytes.constData(), int(bytes.size()));
    sqlite3_exec(handle.db, "PRAGMA cipher_page_size = 4096", nullptr, nullptr, nullptr);
    sqlite3_busy_timeout(handle.db, 3000);
    const int rc
        = sqlite3_exec(handle.db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        reason = QString::fromUtf8(sqlite3_errmsg(handle.db));
    return rc & 0xff;
}

[[noreturn]] void refuse(const QString& path, const QString& reason)
{
    throw Error(QStringLiteral("Cannot open '%1': %2").arg(path, reason));
}

// Opens path with key on handle: true when the key fits, false when the engine cannot read
// the file with it (reason set when given); throws for what no key would mend.
bool openWithKey(const QString& path, const QString& key, Handle& handle, QString* reason)
{
    const QFileInfo info(path);
    if (!info.isFile())
        throw Error(QStringLiteral("Could not find file '%1'").arg(path));
    if (!info.isReadable())
        refuse(path, QStringLiteral("the file cannot be read (permission denied)"));
    QString why;
    switch (tryKey(path, key, handle, why)) {
    case SQLITE_OK:
        return true;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_NOMEM:
        refuse(path, why);
    default:
        if (reason)
            *reason = why;
        return false;
    }
}

} // namespace

bool keyOpens(const QString& path, const QString& key, QString* reason)
{
    Handle handle;
    return openWithKey(path, key, handle, reason);
}

void rekeyDatabase(const QString& path, const QString& oldKey, const QString& newKey)
{
    checkPassphrase(newKey);
    const auto unchanged = [&](const QString& why) {
        throw Error(QStringLiteral("The password of '%1' was not changed: %2").arg(path, why));
    };
    Handle handle;
    if (!openWithKey(path, oldKey, handle, nullptr))
        unchanged(QStringLiteral("the current password does not open it"));
    if (oldKey == newKey)
        return;
    if (sqlite3_db_readonly(handle.db, "main") == 1)
        unchanged(QStringLiteral("the file is read-only"));
    // The engine keeps its journal beside the file while it rewrites it.
    if (!QFileInfo(QFileInfo(path).absolutePath()).isWritable())
        unchanged(QStringLiteral("its folder cannot be written to"));
    // The whole file is rewritten under the journal: that needs room for a second copy.
    const QStorageInfo volume(QFileInfo(path).absolutePath());
    if (volume.isValid() && volume.bytesAvailable() >= 0
        && volume.bytesAvailable() < QFileInfo(path).size() + 65536)
        unchanged(QStringLiteral("there is not enough free disk space"));
    // No one else may be reading or writing it meanwhile.
    if (sqlite3_exec(handle.db, "BEGIN EXCLUSIVE; ROLLBACK", nullptr, nullptr, nullptr)
        != SQLITE_OK)
        unchanged(QString::fromUtf8(sqlite3_errmsg(handle.db)));
    // The engine reports success also when it had to roll the change back, and the handle
    // must not be used after a failure: the file itself says which key it has now.
    const QByteArray bytes = newKey.toUtf8();
    sqlite3_rekey_v2(handle.db, "main", bytes.constData(), int(bytes.size()));
    const QString why = QString::fromUtf8(sqlite3_errmsg(handle.db));
    sqlite3_close(handle.db);
    handle.db = nullptr;
    if (keyOpens(path, newKey))
        return;
    // Without a reason of the engine's the rewrite itself failed: a write was refused.
    unchanged(why == QLatin1String("not an error")
                  ? QStringLiteral("the file could not be written in full (the disk may be "
                                   "full or the file too large)")
                  : why);
}

QString readPassphraseFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw Error(QStringLiteral("The passphrase file '%1' does not exist").arg(path));
    if (info.isDir())
        throw Error(QStringLiteral("The passphrase file '%1' is a folder").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("The passphrase file '%1' cannot be read: %2")
                        .arg(path, file.errorString()));
    return readPassphrase(file, QStringLiteral("The passphrase file '%1'").arg(path));
}

QString readPassphrase(QIODevice& device, const QString& what)
{
    const QByteArray bytes = device.read(maxPassphraseBytes + 1);
    if (bytes.size() > maxPassphraseBytes)
        throw Error(QStringLiteral("%1 is larger than %2 bytes").arg(what).arg(maxPassphraseBytes));
    QByteArray line = bytes;
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    if (line.isEmpty())
        throw Error(QStringLiteral("%1 gives an empty password").arg(what));
    // A byte order mark at the start (some editors write one) is no part of the passphrase;
    // other encodings would change it without a word, so they are refused.
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString passphrase = utf8(line);
    if (utf8.hasError())
        throw Error(QStringLiteral("%1 is not UTF-8 text").arg(what));
    if (passphrase.isEmpty())
        throw Error(QStringLiteral("%1 gives an empty password").arg(what));
    return passphrase;
}

} // namespace data
