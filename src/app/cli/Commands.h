#pragma once

#include <QString>
#include <cstdio>

namespace data {
class Tdsrc;
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
int backup(Context& c, const QString& destination, bool force);
int importStaff(Context& c, const QString& workbook);
int resizeAll(Context& c);
int printCards(Context& c, const QString& output, const QString* member, const CardFlags& flags);
int printCheckList(Context& c, const QString& output);

} // namespace app::cli
