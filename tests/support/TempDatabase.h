#pragma once

#include "data/Tdsrc.h"

#include <QTemporaryDir>

// A starter card database in a temporary folder of its own, removed afterwards.
class TempDatabase
{
public:
    TempDatabase();
    QString path() const { return m_dir.filePath(QStringLiteral("cardinfo.mdb")); }
    QString dir() const { return m_dir.path(); }
    // Runs SQL on the file through a connection of its own.
    void exec(const QString& sql) const;
    // A single value, read through a connection of its own.
    QVariant scalar(const QString& sql) const;

private:
    QTemporaryDir m_dir;
};

// Opens connection on the card database at path, keyed with the program's password.
void openDatabase(data::Connection& connection, const QString& path);

// Adds a member straight into the file; returns its seq.
qint64 addMember(const TempDatabase& db, int gid, const QString& name, const QString& cname = {},
                 const QString& staffno = {}, const QByteArray& photo = {});
