#pragma once

#include "Engine.h"

struct sqlite3;

namespace data {

// An encrypted database file, through SQLCipher.
class FileEngine final : public Engine
{
public:
    // Takes over an open, keyed handle (see Connection::openKeyed).
    FileEngine(sqlite3* db, QString path);
    ~FileEngine() override;

    sqlite3* handle() const { return m_db; }

    Kind kind() const override { return Kind::File; }
    QString displayName() const override { return m_path; }
    std::unique_ptr<EngineStatement> prepare(const QString& sql) override;
    void execute(const QString& sql) override;
    void begin() override;
    void commit() override;
    void rollback() override;
    bool transactionLost() const override;
    bool hasTable(const QString& name) override;
    TableInfo tableInfo(const QString& table) override;
    QString rowIdColumn(const QString&) override { return QStringLiteral("rowid"); }
    QString returningRowId(const QString&) override { return {}; }
    qint64 insertedRowId(EngineStatement& insert) override;
    QByteArray readBlob(const QString& table, const QString& column, qint64 rowId) override;
    qint64 nextRowNumber(const QString& table) override;
    QString searchCondition() override;
    QString exactCollation() const override { return QStringLiteral("binary"); }
    void keepMembersInMemory(bool keep) override;
    bool tryLockBatch() override { return true; }
    void unlockBatch() override { }

private:
    sqlite3* m_db;
    QString m_path;
};

} // namespace data
