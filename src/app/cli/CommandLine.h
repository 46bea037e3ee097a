#pragma once

#include <QStringList>

namespace app::cli {

// Whether the arguments ask for a command (or for help or the version) rather than for the
// desktop program.
bool wantsCommandLine(const QStringList& arguments);

// The path given with --database PATH (or --database=PATH), empty when none is given.
QString databaseArgument(const QStringList& arguments);

// Runs the command the arguments name. Returns the exit code: 0 done, 1 the job failed,
// 2 the command line was wrong.
int run(const QStringList& arguments);

} // namespace app::cli
