#pragma once

#include <QString>
#include <cstdio>

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
int backup(Context& c, const QString& destination, bool force);
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

// The commands that open their databases themselves.
// Creates the card tables, starter rows and settings in an empty server database.
int initServer(TerminalAnswers& answers, const QString& address);
// Copies the whole card database source to destination (files or servers); an existing file
// destination is replaced only when force (or --yes) is given.
int copyDatabase(TerminalAnswers& answers, const QString& source, const QString& destination,
                 bool force);

} // namespace app::cli
