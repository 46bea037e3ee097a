#pragma once

#include "Answers.h"

#include <QString>

namespace data {

// Whether a and b name one file: when both exist, the same file on the same device (so a
// link or another spelling of the path counts); otherwise the same canonical path.
bool isSameFile(const QString& a, const QString& b);

// Why nothing may be written at path, or an empty text when it may: no name, a folder,
// something that exists but is no regular file (a device, a pipe), or, when database is
// given, that database file or its journal.
QString outputRefusal(const QString& path, const QString& database = {});

// Connections tell which database files are open, so that no output of the program, wherever
// it is chosen, ever lands on one of them or on its journal.
void noteOpenDatabase(const QString& path, bool open);

// Throws Error naming path and the reason when outputRefusal gives one; an output that is
// an open database file or its journal is refused too.
void checkOutput(const QString& path, const QString& database = {});

} // namespace data
