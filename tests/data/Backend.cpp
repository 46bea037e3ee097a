#include "Backend.h"

#include "PgServer.h"
#include "TempDatabase.h"
#include "data/Query.h"
#include "data/ServerSchema.h"

namespace {

class FileBackend final : public Backend
{
public:
    Kind kind() const override { return Kind::File; }
    QString address() const override { return m_db.path(); }

private:
    TempDatabase m_db;
};

class ServerBackend final : public Backend
{
public:
    explicit ServerBackend(QString address)
        : m_address(std::move(address))
    {
        data::Connection connection;
        open(connection);
        data::createServerTables(connection);
    }
    Kind kind() const override { return Kind::Server; }
    QString address() const override { return m_address; }

private:
    QString m_address;
};

} // namespace

std::unique_ptr<Backend> Backend::make(Kind kind, QString* skipReason)
{
    if (kind == Kind::File)
        return std::make_unique<FileBackend>();
    testsupport::PgServer* server = testsupport::PgServer::instance();
    if (!server) {
        *skipReason = testsupport::PgServer::skipReason();
        return nullptr;
    }
    return std::make_unique<ServerBackend>(server->address(server->createDatabase()));
}

void Backend::open(data::Connection& connection) const
{
    connection.setConnectionString(data::buildConnectionString(address(), data::Tdsrc::password()));
    connection.open();
}

void Backend::exec(const QString& sql) const
{
    data::Connection c;
    open(c);
    c.execute(sql);
}

QVariant Backend::scalar(const QString& sql) const
{
    data::Connection c;
    open(c);
    data::Query q(c, QStringLiteral("scalar"));
    q.setSql(sql);
    q.open();
    return q.eof() ? QVariant() : q.rowValue(0, q.columnName(0));
}

qint64 addMember(const Backend& db, int gid, const QString& name, const QString& cname,
                 const QString& staffno, const QByteArray& photo)
{
    data::Connection c;
    db.open(c);
    data::Query q(c, QStringLiteral("add"));
    q.setSql(QStringLiteral("select * from stafftbl where seq = 0"));
    q.open();
    q.append();
    q.setValue(QStringLiteral("gid"), gid);
    q.setValue(QStringLiteral("cardno"), 0);
    q.setValue(QStringLiteral("name"), name);
    q.setValue(QStringLiteral("cname"), cname);
    q.setValue(QStringLiteral("staffno"), staffno);
    q.setValue(QStringLiteral("post"), QString());
    q.setValue(QStringLiteral("datejoin"), QStringLiteral("5/03/2004"));
    q.setValue(QStringLiteral("expiry"), QStringLiteral("5/03/2009"));
    q.setValue(QStringLiteral("remark"), QString());
    q.setBlob(QStringLiteral("photo"), photo);
    q.post();
    return q.asInt(QStringLiteral("seq"));
}
