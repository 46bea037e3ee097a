#pragma once

#include <QString>
#include <cstdio>
#include <optional>

namespace data {
class Tdsrc;
}
namespace exchange {
struct PhotoFolderOptions;
}

namespace app::cli {

class TerminalAnswers;
struct CardFlags;

// What every command gets: the open database, the terminal's answers and the output.
struct Context
{
    data::Tdsrc& dsrc;
    TerminalAnswers& answers;
    std::FILE* out = stdout;
};

// Each returns the exit code: 0 done, 1 failed.
int listMembers(Context& c, const QString& group);
// The members of every group found as the main window's search box finds them.
int findMembers(Context& c, const QString& text);
int importStaff(Context& c, const QString& workbook);
int resizeAll(Context& c);
int importPhotos(Context& c, const QString& folder, const exchange::PhotoFolderOptions& options);
// Which cards a card run prints, and whether it stores them as printed.
struct CardSelection
{
    const QString* member = nullptr; // only the members of this name
    bool changedOnly = false; // only the cards to reprint
    bool markPrinted = false;
};
int printCards(Context& c, const QString& output, const CardSelection& selection,
               const CardFlags& flags);
int printCheckList(Context& c, const QString& output);
// Copies the database to destination; the copy gets copyKey (nullopt: the database's own).
int backup(Context& c, const QString& destination, bool force,
           const std::optional<QString>& copyKey);

// The commands that open their databases themselves.
// Creates the card tables, starter rows and settings in an empty server database.
int initServer(TerminalAnswers& answers, const QString& address);
// Copies the whole card database source, opened with sourceKey, to destination (files or
// servers); an existing file destination is replaced only when force (or --yes) is given. A
// file destination gets copyKey; nullopt keeps the key of a file source (a server's copy gets
// the default key).
int copyDatabase(TerminalAnswers& answers, const QString& source, const QString& sourceKey,
                 const QString& destination, bool force, const std::optional<QString>& copyKey);
// Gives the database file at path newKey in place of key; a passphrase remembered for it on
// this computer is replaced by the new one (forgotten for the default key). The file must
// not be open in this process.
int rekey(TerminalAnswers& answers, const QString& path, const QString& key, const QString& newKey);

} // namespace app::cli
