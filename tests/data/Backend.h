#pragma once

#include "data/Connection.h"

#include <QString>
#include <QVariant>
#include <memory>

// A starter card database on one backend, for the tests the file and the server both pass.
class Backend
{
public:
    enum class Kind { File, Server };

    virtual ~Backend() = default;
    // Null with why when the backend cannot be had here (no server could start).
    static std::unique_ptr<Backend> make(Kind kind, QString* skipReason);

    virtual Kind kind() const = 0;
    // The data source a connection string names.
    virtual QString address() const = 0;
    void open(data::Connection& connection) const;
    // Runs SQL through a connection of its own.
    void exec(const QString& sql) const;
    // A single value, read through a connection of its own.
    QVariant scalar(const QString& sql) const;
};

// Adds a member through a connection of its own; returns its seq.
qint64 addMember(const Backend& db, int gid, const QString& name, const QString& cname = {},
                 const QString& staffno = {}, const QByteArray& photo = {});
