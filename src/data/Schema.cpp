#include "Schema.h"

#include "Connection.h"
#include "Error.h"

#include <QFile>
#include <QFileInfo>
#include <sqlcipher/sqlite3.h>

namespace data {
namespace {

// Text sorts without letter case, as users of the card program expect; lookups made
// by the program compare exactly.
const char* const schema = R"sql(
BEGIN;
CREATE TABLE grptbl (
    seq INTEGER PRIMARY KEY AUTOINCREMENT,
    gid SMALLINT,
    gdesc TEXT COLLATE NOCASE);
CREATE TABLE stafftbl (
    seq INTEGER PRIMARY KEY AUTOINCREMENT,
    gid SMALLINT,
    cardno INTEGER,
    name TEXT COLLATE NOCASE,
    cname TEXT COLLATE NOCASE,
    staffno TEXT COLLATE NOCASE,
    post TEXT COLLATE NOCASE,
    datejoin TEXT COLLATE NOCASE,
    expiry TEXT COLLATE NOCASE,
    remark TEXT COLLATE NOCASE,
    photo BLOB,
    changedutc TEXT,
    printedutc TEXT);
CREATE INDEX stafftbl_name ON stafftbl (name);
CREATE INDEX stafftbl_gid ON stafftbl (gid, name);
CREATE TABLE fields (
    seq INTEGER,
    fname TEXT,
    dname TEXT,
    uname TEXT);
CREATE TABLE param (
    seq INTEGER PRIMARY KEY AUTOINCREMENT,
    bitmap BLOB,
    f1 SMALLINT, f2 SMALLINT, f3 SMALLINT, f4 SMALLINT, f5 SMALLINT, f6 SMALLINT, f7 SMALLINT,
    printback BOOLEAN,
    style SMALLINT,
    lines BOOLEAN,
    captions BOOLEAN,
    position REAL,
    custom BOOLEAN,
    font BLOB);
CREATE TABLE settings (key TEXT PRIMARY KEY, value TEXT);
INSERT INTO grptbl (gid, gdesc) VALUES (0, 'DEFAULT');
INSERT INTO fields (seq, fname, dname, uname) VALUES
    (1, 'name', 'English Name', 'Name'),
    (2, 'cname', 'Chinese Name', 'Chinese'),
    (3, 'staffno', 'Staff Number', 'Staff No'),
    (4, 'post', 'Post', 'Post'),
    (5, 'gdesc', 'Group', 'Dept'),
    (6, 'datejoin', 'Date Joined', 'Joined'),
    (7, 'expiry', 'Expiry Date', 'Expiry'),
    (8, 'remark', 'Remark', 'Remark');
INSERT INTO param (f1, f2, f3, f4, f5, f6, f7, printback, style, lines, captions, position,
                   custom)
    VALUES (1, 2, 3, 4, 5, 7, 0, 1, 0, 1, 1, 45, 0);
COMMIT;
)sql";

} // namespace

void createStarterDatabase(const QString& path, const QString& password)
{
    if (QFileInfo::exists(path))
        throw Error(QStringLiteral("The file '%1' already exists").arg(path));
    sqlite3* db = Connection::openKeyed(path, password, true);
    char* message = nullptr;
    const int rc = sqlite3_exec(db, schema, nullptr, nullptr, &message);
    const QString text = QString::fromUtf8(message ? message : "");
    sqlite3_free(message);
    sqlite3_close(db);
    if (rc != SQLITE_OK) {
        QFile::remove(path);
        throw Error(QStringLiteral("Cannot create '%1': %2").arg(path, text));
    }
}

} // namespace data
