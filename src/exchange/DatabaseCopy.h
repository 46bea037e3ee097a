#pragma once

#include <QString>
#include <optional>

namespace data {
class Connection;
}
namespace imaging {
class Progress;
}

namespace exchange {

// Copies a whole card database: every group, member (photos byte for byte, change and print
// times), the fields, the layout settings and the settings table. Groups keep their numbers
// and members their seq, so that the copy is the same database; the row versions of a server
// are not copied (every row starts at the first). Columns only one side has are left out.
// The source is read as one consistent snapshot and left as it was.

// Copies source into a database on a server: one without card tables gets them first, one
// that has them and no member has its starter rows replaced, one that holds members is
// refused. All of it in one transaction, so that a failure leaves the server database as it
// was. The server's row numbers continue after the copied ones. Throws Error with the reason.
void copyToServer(data::Connection& source, const QString& address, imaging::Progress& progress);

// Writes source as a new encrypted file at path, keyed with key (nullopt: the key of a file
// source, the program's default key for a server's): the copy is made under another name
// beside path and renamed over path only once complete, so that a failure leaves no new file
// and path as it was. Refuses (Error) a path that is the source itself, a folder or no
// regular file; an existing file is replaced.
void copyToFile(data::Connection& source, const QString& path, imaging::Progress& progress,
                const std::optional<QString>& key = std::nullopt);

// copyToServer for a server address, copyToFile (with key) for anything else.
void copyDatabase(data::Connection& source, const QString& destination, imaging::Progress& progress,
                  const std::optional<QString>& key = std::nullopt);

} // namespace exchange
