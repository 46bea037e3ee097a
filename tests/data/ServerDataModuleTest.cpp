// The data module and its helpers on a server database, as the windows and commands use them.
#include "Backend.h"
#include "data/CardTimes.h"
#include "data/DatabaseSettings.h"
#include "data/Engine.h"
#include "data/Error.h"
#include "data/MemberSearch.h"
#include "data/Query.h"
#include "data/Tdsrc.h"

#include <gtest/gtest.h>

namespace {

struct ServerDataModule : ::testing::Test
{
    std::unique_ptr<Backend> db;
    void SetUp() override
    {
        QString why;
        db = Backend::make(Backend::Kind::Server, &why);
        if (!db)
            GTEST_SKIP() << why.toStdString();
        db->exec(QStringLiteral("insert into grptbl (gid, gdesc) values (3, 'Sales')"));
        addMember(*db, 3, QStringLiteral("chan Tai Man"), QStringLiteral("陳大文"),
                  QStringLiteral("A1"), QByteArray("\xff\xd8photo", 7));
        addMember(*db, 0, QStringLiteral("Au Yeung"), {}, QStringLiteral("B2"));
    }
};

} // namespace

TEST_F(ServerDataModule, ServesTheWindowsQueriesSettingsAndCardTimes)
{
    data::Tdsrc dsrc;
    dsrc.connectTo(db->address());
    EXPECT_EQ(dsrc.extensionsProblem, QString());
    EXPECT_TRUE(dsrc.src.isServer());
    EXPECT_EQ(dsrc.QGroup.rowCount(), 2);
    EXPECT_EQ(dsrc.QGroup.asString(QStringLiteral("gdesc")), QStringLiteral("DEFAULT"));
    EXPECT_EQ(dsrc.staffCount(), 2);

    dsrc.QStaff.setSql(QStringLiteral("select * from stafftbl where gid= :gid order by name"));
    dsrc.QStaff.setParameter(QStringLiteral("gid"), 3);
    dsrc.QStaff.open();
    ASSERT_EQ(dsrc.QStaff.rowCount(), 1);
    EXPECT_EQ(dsrc.QStaff.blob(QStringLiteral("photo")), QByteArray("\xff\xd8photo", 7));

    dsrc.QList.open();
    ASSERT_EQ(dsrc.QList.rowCount(), 2);
    EXPECT_EQ(dsrc.QList.asString(QStringLiteral("name")), QStringLiteral("Au Yeung"));
    EXPECT_EQ(dsrc.QList.asString(QStringLiteral("gdesc")), QStringLiteral("DEFAULT"));
    dsrc.QList.next();
    EXPECT_EQ(dsrc.QList.asString(QStringLiteral("gdesc")), QStringLiteral("Sales"));
    EXPECT_THROW(dsrc.QList.edit(), data::Error);

    // The layout's own rows, with their truth values as the file gives them.
    data::Query param(dsrc.src, QStringLiteral("param"));
    param.setSql(QStringLiteral("select * from param"));
    param.open();
    EXPECT_TRUE(param.asBool(QStringLiteral("printback")));
    EXPECT_EQ(param.asFloat(QStringLiteral("position")), 45.0);
    param.edit();
    param.setValue(QStringLiteral("printback"), false);
    param.setValue(QStringLiteral("position"), 12.5);
    param.post();
    EXPECT_EQ(db->scalar(QStringLiteral("select printback::int from param")), 0);

    // Settings are kept on the server for every station.
    data::DatabaseSettings settings(dsrc.src);
    settings.setValues({{QStringLiteral("watermark"), QStringLiteral("yes")},
                        {QStringLiteral("output"), QStringLiteral("card")}});
    settings.setValue(QStringLiteral("output"), QStringLiteral("a4"));
    data::Tdsrc other;
    other.connectTo(db->address());
    const data::DatabaseSettings read(other.src);
    EXPECT_EQ(read.value(QStringLiteral("watermark")), QStringLiteral("yes"));
    EXPECT_EQ(read.value(QStringLiteral("output")), QStringLiteral("a4"));

    // A change is stamped, printing clears it from the reprints.
    dsrc.QAllStaff.open();
    const data::CardChange change(dsrc.QAllStaff, false);
    dsrc.QAllStaff.edit();
    dsrc.QAllStaff.setValue(QStringLiteral("post"), QStringLiteral("Clerk"));
    EXPECT_TRUE(change.stamp(dsrc.QAllStaff));
    dsrc.QAllStaff.post();
    const auto reprints = [&] {
        return db->scalar(QStringLiteral("select count(*) from stafftbl where ")
                          + data::reprintCondition());
    };
    EXPECT_EQ(reprints(), 1);
    data::markPrinted(dsrc.src, {dsrc.QAllStaff.asInt(QStringLiteral("seq"))});
    EXPECT_EQ(reprints(), 0);

    // The search across groups and the exact lookup by name.
    data::Query found(dsrc.src, QStringLiteral("found"));
    found.setSql(QStringLiteral("select * from stafftbl where ")
                 + data::memberSearchCondition(dsrc.src) + QStringLiteral(" order by name"));
    found.setParameter(data::memberSearchParameter(), QStringLiteral("CHAN"));
    found.open();
    EXPECT_EQ(found.rowCount(), 1);
    data::Query exact(dsrc.src, QStringLiteral("exact"));
    exact.setSql(QStringLiteral("select * from stafftbl where name = :name collate ")
                 + dsrc.src.engine().exactCollation());
    exact.setParameter(QStringLiteral("name"), QStringLiteral("Chan Tai Man"));
    exact.open();
    EXPECT_EQ(exact.rowCount(), 0);
}
