#include "TempDatabase.h"

#include "data/Error.h"
#include "data/Query.h"
#include "data/Schema.h"

TempDatabase::TempDatabase()
{
    if (!m_dir.isValid())
        throw data::Error(QStringLiteral("cannot make a temporary folder"));
    data::createStarterDatabase(path(), data::Tdsrc::password());
}

void openDatabase(data::Connection& connection, const QString& path)
{
    connection.setConnectionString(data::buildConnectionString(path, data::Tdsrc::password()));
    connection.open();
}

void TempDatabase::exec(const QString& sql) const
{
    data::Connection c;
    openDatabase(c, path());
    c.execute(sql);
}

QVariant TempDatabase::scalar(const QString& sql) const
{
    data::Connection c;
    openDatabase(c, path());
    data::Query q(c, QStringLiteral("scalar"));
    q.setSql(sql);
    q.open();
    return q.eof() ? QVariant() : q.rowValue(0, q.columnName(0));
}

qint64 addMember(const TempDatabase& db, int gid, const QString& name, const QString& cname,
                 const QString& staffno, const QByteArray& photo)
{
    data::Connection c;
    openDatabase(c, db.path());
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
