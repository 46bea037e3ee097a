#include "data/DatabaseSettings.h"

#include "TempDatabase.h"
#include "cards/DatabaseOptions.h"
#include "data/Connection.h"
#include "data/Error.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

// The starter database as versions before the settings table wrote it (no settings table, no
// change or print times), with one member added.
struct OlderFile : ::testing::Test
{
    TempDatabase db;
    void SetUp() override
    {
        QFile::remove(db.path());
        ASSERT_TRUE(QFile::copy(QStringLiteral(OLDER_DATABASE), db.path()));
        QFile(db.path()).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        addMember(db, 0, QStringLiteral("Chan Tai Man"), QString(), QStringLiteral("A1"));
    }
    QString schema() const
    {
        return db.scalar(QStringLiteral("select group_concat(sql, ';') from sqlite_master"))
            .toString();
    }
};

TEST_F(OlderFile, GainsTheTableAndColumnsOnceAndKeepsItsRows)
{
    data::Connection c;
    openDatabase(c, db.path());
    EXPECT_FALSE(data::hasExtensions(c));
    const QString before = schema();

    data::addMissingExtensions(c);
    EXPECT_TRUE(data::hasExtensions(c));
    const QString after = schema();
    EXPECT_TRUE(after.startsWith(before.left(before.indexOf(u"photo BLOB"))));
    EXPECT_EQ(db.scalar(QStringLiteral("select name from stafftbl")).toString(), u"Chan Tai Man");
    EXPECT_TRUE(db.scalar(QStringLiteral("select changedutc from stafftbl")).isNull());

    data::addMissingExtensions(c); // a second time changes nothing
    EXPECT_EQ(schema(), after);
}

TEST_F(OlderFile, ConnectingTheDataModuleAddsThemWithoutComplaint)
{
    for (int pass = 0; pass < 2; ++pass) {
        data::Tdsrc dsrc;
        dsrc.connectTo(db.path());
        EXPECT_EQ(dsrc.extensionsProblem, QString()) << dsrc.extensionsProblem.toStdString();
        EXPECT_TRUE(data::hasExtensions(dsrc.src));
    }
}

TEST_F(OlderFile, ReadsEveryOptionAsItsDefaultUntilOneIsStored)
{
    data::Connection c;
    openDatabase(c, db.path());
    data::DatabaseSettings settings(c); // no table yet: nothing to read
    cards::CardOptions options;
    cards::readDatabaseOptions(settings, options);
    EXPECT_TRUE(options.watermark);
    EXPECT_EQ(options.output, cards::CardOutput::Sheet);
    EXPECT_EQ(options.code.kind, cards::CodeElement::Kind::None);
    EXPECT_EQ(options.code.field, u"staffno");
    EXPECT_FALSE(options.code.placed);
    EXPECT_FALSE(options.shrinkText);

    settings.setValue(QStringLiteral("card.watermark"), QStringLiteral("off"));
    EXPECT_TRUE(data::hasExtensions(c));
    EXPECT_EQ(db.scalar(QStringLiteral("select value from settings where key='card.watermark'"))
                  .toString(),
              u"off");
}

TEST(DatabaseOptions, RoundTripAndIgnoreWhatTheyCannotRead)
{
    TempDatabase db;
    data::Connection c;
    openDatabase(c, db.path());
    {
        data::DatabaseSettings settings(c);
        cards::CardOptions options;
        options.watermark = false;
        options.output = cards::CardOutput::CardPrinter;
        options.code
            = {cards::CodeElement::Kind::Qr, QStringLiteral("name"), true, 60.5, 3, 20, 20};
        options.shrinkText = true;
        cards::writeDatabaseOptions(settings, options);
    }
    data::DatabaseSettings reread(c);
    cards::CardOptions options;
    cards::readDatabaseOptions(reread, options);
    EXPECT_FALSE(options.watermark);
    EXPECT_EQ(options.output, cards::CardOutput::CardPrinter);
    EXPECT_EQ(options.code.kind, cards::CodeElement::Kind::Qr);
    EXPECT_EQ(options.code.field, u"name");
    EXPECT_TRUE(options.code.placed);
    EXPECT_DOUBLE_EQ(options.code.x, 60.5);
    EXPECT_DOUBLE_EQ(options.code.height, 20);
    EXPECT_TRUE(options.shrinkText);

    // Texts another program or a newer version wrote that this one cannot read keep the
    // defaults; a place with one number missing is no place.
    db.exec(QStringLiteral("UPDATE settings SET value='maybe' WHERE key='card.watermark';"
                           "UPDATE settings SET value='pdf417' WHERE key='card.code.kind';"
                           "UPDATE settings SET value='wide' WHERE key='card.code.width';"));
    reread.load();
    cards::CardOptions fallback;
    cards::readDatabaseOptions(reread, fallback);
    EXPECT_TRUE(fallback.watermark);
    EXPECT_EQ(fallback.code.kind, cards::CodeElement::Kind::None);
    EXPECT_FALSE(fallback.code.placed);
}

TEST(DatabaseSettings, StoresSeveralValuesAllOrNone)
{
    TempDatabase db;
    db.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON settings WHEN new.key='b'"
                           " BEGIN SELECT RAISE(ABORT, 'refused by the file'); END"));
    data::Connection c;
    openDatabase(c, db.path());
    data::DatabaseSettings settings(c);
    try {
        settings.setValues({{QStringLiteral("a"), QStringLiteral("1")},
                            {QStringLiteral("b"), QStringLiteral("2")}});
        FAIL() << "stored a value the file refused";
    } catch (const data::Error& e) {
        EXPECT_TRUE(e.message().contains(u"refused by the file")) << e.message().toStdString();
    }
    EXPECT_EQ(db.scalar(QStringLiteral("select count(*) from settings")).toInt(), 0);
    EXPECT_FALSE(settings.contains(QStringLiteral("a")));
    EXPECT_FALSE(c.inTransaction());
}

} // namespace
