#pragma once

#include <QString>
#include <QStringList>

namespace benchchild {

struct Run
{
    bool ok = false;
    double seconds = 0;
    double peakMegabytes = 0;
};

// Runs program with the arguments as a child process and measures it alone: its time and its
// own peak resident size. The benchmark's main must hand "--measure" calls to measureChild.
Run runMeasured(const QString& program, const QStringList& arguments);

// The child side of runMeasured: argv holds the program and its arguments. A process's peak
// size includes that of the process it was started from (exec takes over the record), and a
// benchmark holds big pictures while it makes its databases; so a small copy of the
// benchmark, started with --measure, starts the command from a fresh fork and prints the
// command's figures alone. Returns the command's exit status.
int measureChild(char** argv);

} // namespace benchchild
