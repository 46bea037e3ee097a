#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <ostream>

// Reading and preparing encrypted files with any key, past the program's own checks.

// The first column of the first row sql gives on the file keyed with key; throws data::Error
// with the engine's message when the key does not open it.
QString scalarWith(const QString& path, const QString& key, const QString& sql);
// Whether the file, read with key, passes the engine's integrity check.
bool intactWith(const QString& path, const QString& key);
// The file's bytes, hashed: equal digests, unchanged file.
QByteArray digestOf(const QString& path);

// Runs work as someone whom a chmod stops: under the superuser, in a child process of the
// unprivileged "nobody" (the files it needs must be open to others). Returns what work
// returned, or a line starting "child:" when the child could not run it.
QString asUnprivileged(const std::function<QString()>& work);

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
