#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace data {
class Connection;
}
namespace imaging {
class Progress;
}

namespace exchange {

// Copies the open database to destination as one consistent snapshot, also while the
// program works on it: SQLite's online backup writes a new file beside the destination,
// keyed with the same password (given another one in copyKey, the new file is re-keyed to it
// before the rename), which is then renamed over the destination in one step.
// A failed copy removes its new file and leaves the destination as it was, so no
// half-written copy ever stands under that name; what a killed earlier copy to the same
// destination left beside it is removed when a copy starts. A destination that is the
// database file or its journal (also through another path or link), a folder, or anything
// else that is no regular file (a device, a pipe) is refused and never replaced. A database on
// a server is written as a new keyed file the same way, row by row (see copyToFile), with its
// progress shown on progress when given, keyed with the default key or copyKey. Returns
// whether the copy was made; when it was not, reason (if given) says why.
bool CopyDatabaseFile(data::Connection& source, const QString& destination,
                      QString* reason = nullptr, imaging::Progress* progress = nullptr,
                      const std::optional<QString>& copyKey = std::nullopt);

// The key a copy of source gets when it is given none: the file's own key, the default key
// for a server's database.
QString sourceCopyKey(data::Connection& source);
// The second line of the message of a copy keyed with key: "The copy is protected by ...".
QString copyProtection(const QString& key);

// The save dialog's filter and suggested name.
inline const QString databaseFileFilter = QStringLiteral("Database (*.mdb);;All Files (*)");
inline const QString databaseBackupName = QStringLiteral("cardinfo.mdb");
// Where the save dialog starts: the suggested name in the user's documents folder (the home
// folder when there is none).
QString proposedBackupPath();

// The "Save Database" command: asks for a destination, asks "Overwrite the file?" when it
// exists, copies, and shows "Database saved." with the line of copyProtection, or "Database
// cannot be saved. Please retry.".
// The name is used as typed: no extension is added.
void saveDatabase(QWidget* owner, data::Connection& source);

} // namespace exchange
