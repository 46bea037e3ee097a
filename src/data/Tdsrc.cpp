#include "Tdsrc.h"

#include "DatabaseSettings.h"
#include "Error.h"

namespace data {

Tdsrc::Tdsrc()
    : QGroup(src, QStringLiteral("QGroup"))
    , QStaff(src, QStringLiteral("QStaff"))
    , QList(src, QStringLiteral("QList"))
    , QAllStaff(src, QStringLiteral("QAllStaff"))
{
    src.setConnectionString(buildConnectionString(databaseFileName(), password()));
    QGroup.setSql(QStringLiteral("select * from grptbl order by gdesc"));
    QStaff.setSql(QStringLiteral("select * from stafftbl order by name"));
    QList.setSql(QStringList {
        QStringLiteral("select * from stafftbl"), QStringLiteral("left join grptbl"),
        QStringLiteral("on stafftbl.gid=grptbl.gid"), QStringLiteral("order by name")});
    QAllStaff.setSql(QStringLiteral("select * from stafftbl order by name"));
}

Tdsrc::~Tdsrc()
{
    src.close();
}

QString Tdsrc::password()
{
    return QStringLiteral("pemx.qz");
}

void Tdsrc::connectTo(const QString& path, const QString& key)
{
    src.close();
    src.setConnectionString(buildConnectionString(path, key));
    src.open();
    extensionsProblem.clear();
    extensionsProblemTold = false;
    try {
        addMissingExtensions(src);
    } catch (const Error& e) {
        extensionsProblem = e.message();
    }
    QGroup.open();
}

int Tdsrc::staffCount()
{
    Query count(src, QStringLiteral("QStaffCount"));
    count.setSql(QStringLiteral("select count(*) as members from stafftbl"));
    count.open();
    return int(count.rowValue(0, QStringLiteral("members")).toLongLong());
}

} // namespace data
