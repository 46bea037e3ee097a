#include "exchange/StaffImport.h"

#include "RecordingProgress.h"
#include "ScriptedAnswers.h"
#include "TempDatabase.h"
#include "data/Connection.h"
#include "data/Error.h"
#include "data/Query.h"
#include "exchange/NameIndex.h"
#include "exchange/SheetTable.h"

#include <QDateTime>
#include <QTimeZone>
#include <gtest/gtest.h>

namespace {

using exchange::SheetTable;
using Row = std::vector<QVariant>;

const QString postError = QStringLiteral("Unable to post the data.");

class StaffImportTest : public testing::Test
{
protected:
    void SetUp() override { dsrc.connectTo(db.path()); }

    bool run(const SheetTable& sheet)
    {
        dsrc.QAllStaff.open();
        return exchange::importStaff(dsrc, sheet, progress);
    }
    // Every column of the members of that name, in seq order, read with a bound parameter.
    std::vector<QVariantMap> members(const QString& name)
    {
        data::Query q(dsrc.src, QStringLiteral("check"));
        q.setSql(QStringLiteral("select * from stafftbl where name = :name order by seq"));
        q.setParameter(QStringLiteral("name"), name);
        q.open();
        std::vector<QVariantMap> result;
        for (q.first(); !q.eof(); q.next()) {
            QVariantMap row;
            for (int c = 0; c < q.columnCount(); ++c)
                row.insert(q.columnName(c), q.value(q.columnName(c)));
            result.push_back(row);
        }
        return result;
    }
    QVariantMap member(const QString& name)
    {
        const auto all = members(name);
        EXPECT_EQ(all.size(), 1u) << qPrintable(name);
        return all.empty() ? QVariantMap() : all.front();
    }
    qint64 count(const QString& sql) const { return db.scalar(sql).toLongLong(); }
    QVariant groupValue(const QString& gdesc, const QString& column)
    {
        data::Query q(dsrc.src, QStringLiteral("group"));
        q.setSql(QStringLiteral("select * from grptbl where gdesc = :g collate binary"));
        q.setParameter(QStringLiteral("g"), gdesc);
        q.open();
        return q.eof() ? QVariant(QStringLiteral("(none)")) : q.value(column);
    }

    TempDatabase db;
    data::Tdsrc dsrc;
    ScriptedAnswers answers;
    RecordingProgress progress {&answers};
};

TEST_F(StaffImportTest, ColumnsAreFoundByHeadingInAnyCaseAndCellsStoredAsText)
{
    const QDateTime joined(QDate(2004, 3, 5), QTime(0, 0), QTimeZone::utc());
    const QDateTime stamped(QDate(2004, 3, 5), QTime(10, 30), QTimeZone::utc());
    const SheetTable sheet(
        {"date_join", "Post", "IGNORED", "chinese_name", "Staff_Id", "name", "Group"},
        {Row {joined, 3.0, "x", QStringLiteral("陈大文"), 1234.0, "Ann", "Sales"},
         Row {stamped, QVariant(), "y", QVariant(), "S-2", "Bob"},
         Row {"31/12/2001", "Clerk", "z", QVariant(), 0.5, 42.0}});
    EXPECT_TRUE(run(sheet));

    const QVariantMap ann = member(QStringLiteral("Ann"));
    EXPECT_EQ(ann["cname"], QStringLiteral("陈大文"));
    EXPECT_EQ(ann["staffno"], QStringLiteral("1234"));
    EXPECT_EQ(ann["post"], QStringLiteral("3"));
    EXPECT_EQ(ann["datejoin"], QLocale().toString(joined.date(), QLocale::ShortFormat));
    EXPECT_EQ(ann["expiry"], QStringLiteral(" "));
    EXPECT_EQ(ann["remark"], QStringLiteral(" "));
    EXPECT_TRUE(ann["photo"].isNull());
    EXPECT_TRUE(ann["cardno"].isNull());
    EXPECT_EQ(ann["gid"], groupValue(QStringLiteral("Sales"), QStringLiteral("seq")));

    const QVariantMap bob = member(QStringLiteral("Bob"));
    EXPECT_EQ(bob["datejoin"], QStringLiteral("5/3/04 10:30:00 AM")) << "no time zone name";
    EXPECT_EQ(bob["post"], QString());
    EXPECT_EQ(bob["cname"], QString());
    EXPECT_EQ(bob["gid"].toInt(), 0) << "an empty GROUP cell";

    const QVariantMap number = member(QStringLiteral("42"));
    EXPECT_EQ(number["datejoin"], QStringLiteral("31/12/2001")) << "text is not converted";
    EXPECT_EQ(number["staffno"], QStringLiteral("0.5"));
}

TEST_F(StaffImportTest, AbsentColumnsGiveEmptyTextAndTheDefaultGroup)
{
    EXPECT_TRUE(run(SheetTable({"NAME"}, {Row {"Ann"}})));
    const QVariantMap ann = member(QStringLiteral("Ann"));
    for (const char* column : {"staffno", "cname", "post", "datejoin"})
        EXPECT_EQ(ann[column], QString()) << column;
    EXPECT_EQ(ann["gid"].toInt(), 0);
}

TEST_F(StaffImportTest, AGroupNamedByManyRowsIsCreatedOnceWithItsSeqAsGid)
{
    db.exec(QStringLiteral("UPDATE sqlite_sequence SET seq = 41 WHERE name = 'grptbl'"));
    const SheetTable sheet({"GROUP", "NAME"},
                           {Row {"Sales", "Ann"}, Row {"Sales", "Bob"}, Row {"  ", "Carl"},
                            Row {"DEFAULT", "Dora"}, Row {"Sales", "Eve"}, Row {"sales", "Fay"}});
    EXPECT_TRUE(run(sheet));

    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM grptbl")), 4);
    EXPECT_EQ(groupValue(QStringLiteral("Sales"), QStringLiteral("gid")).toInt(), 42);
    EXPECT_EQ(groupValue(QStringLiteral("Sales"), QStringLiteral("seq")).toInt(), 42);
    EXPECT_EQ(groupValue(QStringLiteral("  "), QStringLiteral("gid")).toInt(), 43)
        << "a GROUP text of blanks names a group";
    EXPECT_EQ(groupValue(QStringLiteral("sales"), QStringLiteral("gid")).toInt(), 44)
        << "group names are compared exactly";
    for (const char* name : {"Ann", "Bob", "Eve"})
        EXPECT_EQ(member(QString::fromLatin1(name))["gid"].toInt(), 42) << name;
    EXPECT_EQ(member(QStringLiteral("Carl"))["gid"].toInt(), 43);
    EXPECT_EQ(member(QStringLiteral("Dora"))["gid"].toInt(), 0);
}

TEST_F(StaffImportTest, KnownNamesAreOverwrittenKeepingSeqCardnoPhotoAndTheColumnsNotInTheSheet)
{
    const qint64 seq = addMember(db, 0, QStringLiteral("Ann"), QStringLiteral("old"),
                                 QStringLiteral("S-1"), QByteArray("photo bytes"));
    db.exec(QStringLiteral("UPDATE stafftbl SET cardno = 777"));
    addMember(db, 0, QStringLiteral("Zed"));
    dsrc.connectTo(db.path());

    const SheetTable sheet({"NAME", "GROUP", "CHINESE_NAME", "STAFF_ID", "POST", "DATE_JOIN"},
                           {Row {"Ann", "Sales", "新", "S-9", "Boss", "1/02/2003"},
                            Row {"Bob", QVariant(), "first", "B-1"},
                            Row {"Bob", QVariant(), "second", "B-2"},
                            Row {QVariant(), QVariant(), "no name"}});
    EXPECT_TRUE(run(sheet));

    const QVariantMap ann = member(QStringLiteral("Ann"));
    EXPECT_EQ(ann["seq"].toLongLong(), seq);
    EXPECT_EQ(ann["cardno"].toInt(), 777);
    EXPECT_EQ(ann["gid"], groupValue(QStringLiteral("Sales"), QStringLiteral("gid")));
    EXPECT_EQ(ann["cname"], QStringLiteral("新"));
    EXPECT_EQ(ann["staffno"], QStringLiteral("S-9"));
    EXPECT_EQ(ann["post"], QStringLiteral("Boss"));
    EXPECT_EQ(ann["datejoin"], QStringLiteral("1/02/2003"));
    EXPECT_EQ(ann["expiry"], QStringLiteral("5/03/2009"));
    EXPECT_EQ(ann["remark"],
              db.scalar(QStringLiteral("SELECT remark FROM stafftbl WHERE name = 'Zed'")));
    EXPECT_EQ(ann["photo"].toByteArray(), QByteArray("photo bytes"));
    EXPECT_TRUE(member(QStringLiteral("Bob"))["photo"].isNull()) << "a new member has no photo";
    EXPECT_EQ(member(QStringLiteral("Bob"))["expiry"], QStringLiteral(" "));

    // A sheet with fewer columns: the others stay as they are; an empty cell is written.
    EXPECT_TRUE(run(SheetTable({"name", "Post"}, {Row {"Ann", QVariant()}})));
    const QVariantMap again = member(QStringLiteral("Ann"));
    EXPECT_EQ(again["post"], QString());
    EXPECT_EQ(again["cname"], QStringLiteral("新"));
    EXPECT_EQ(again["staffno"], QStringLiteral("S-9"));
    EXPECT_EQ(again["datejoin"], QStringLiteral("1/02/2003"));
    EXPECT_EQ(again["gid"], ann["gid"]);
    EXPECT_EQ(again["photo"].toByteArray(), QByteArray("photo bytes"));

    EXPECT_EQ(member(QStringLiteral("Bob"))["cname"], QStringLiteral("second"))
        << "a later row of the same name overwrites the member the earlier one made";
    EXPECT_EQ(member(QString())["cname"], QStringLiteral("no name"))
        << "a row with an empty NAME is written too";
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM stafftbl")), 4);
    EXPECT_EQ(member(QStringLiteral("Zed"))["expiry"], QStringLiteral("5/03/2009"));
}

TEST_F(StaffImportTest, ProgressCoversEveryRowAndLetsEventsRunPerRow)
{
    EXPECT_TRUE(run(SheetTable({"NAME"}, {Row {"Ann"}, Row {"Bob"}, Row {"Carl"}})));
    EXPECT_EQ(progress.min, 0);
    EXPECT_EQ(progress.max, 3);
    EXPECT_EQ(progress.steps, 3);
    EXPECT_EQ(progress.eventRuns, 3);
    EXPECT_TRUE(progress.shown);
    EXPECT_FALSE(progress.hidden);

    RecordingProgress empty;
    dsrc.QAllStaff.open();
    EXPECT_TRUE(exchange::importStaff(dsrc, SheetTable({"NAME"}, {}), empty));
    EXPECT_EQ(empty.max, 0);
    EXPECT_TRUE(empty.shown);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM stafftbl")), 3);
    EXPECT_TRUE(answers.texts().isEmpty());
}

TEST_F(StaffImportTest, TheGaugeTakesTheRowCountAsA16BitNumber)
{
    // 70,000 records and no NAME column: the range is set, then the first write fails.
    std::vector<Row> rows(70'000, Row {"x"});
    EXPECT_FALSE(run(SheetTable({"POST"}, std::move(rows))));
    EXPECT_EQ(progress.max, 70'000 - 65'536);
}

// A refused write ends the import with the message; the records before it stay stored.
struct Refusal
{
    const char* name;
    const char* setup; // SQL run on the file first
    QStringList headings;
    std::vector<Row> rows;
    QStringList stored; // members afterwards, in seq order
    QStringList groups; // groups afterwards, by gdesc
};

void PrintTo(const Refusal& c, std::ostream* os)
{
    *os << c.name;
}

class StaffImportRefusal : public StaffImportTest, public testing::WithParamInterface<Refusal>
{
};

TEST_P(StaffImportRefusal, ShowsThePostErrorAndKeepsEarlierRows)
{
    const Refusal& c = GetParam();
    if (*c.setup)
        db.exec(QString::fromLatin1(c.setup));
    dsrc.connectTo(db.path());
    EXPECT_FALSE(run(SheetTable(c.headings, c.rows)));
    EXPECT_EQ(answers.texts(), QStringList {postError});
    EXPECT_EQ(answers.shown().front().icon, data::MessageIcon::Error);
    EXPECT_FALSE(answers.shown().front().reason.isEmpty());
    EXPECT_TRUE(progress.shown) << "the message is shown over the progress window";

    // Read through a connection of its own: the rows before are committed.
    data::Connection other;
    openDatabase(other, db.path());
    data::Query q(other, QStringLiteral("q"));
    q.setSql(QStringLiteral("select name from stafftbl order by seq"));
    q.open();
    QStringList stored;
    for (q.first(); !q.eof(); q.next())
        stored << q.asString(QStringLiteral("name"));
    EXPECT_EQ(stored, c.stored);
    q.setSql(QStringLiteral("select gdesc from grptbl order by seq"));
    q.open();
    QStringList groups;
    for (q.first(); !q.eof(); q.next())
        groups << q.asString(QStringLiteral("gdesc"));
    EXPECT_EQ(groups, c.groups);
}

INSTANTIATE_TEST_SUITE_P(
    Writes, StaffImportRefusal,
    testing::Values(Refusal {"NoNameColumn",
                             "",
                             {"GROUP", "POST"},
                             {Row {"Sales", "Clerk"}, Row {"Hr", "x"}},
                             {},
                             {"DEFAULT", "Sales"}},
                    Refusal {
                        "MemberRefused",
                        "CREATE TRIGGER no_eve BEFORE INSERT ON stafftbl WHEN NEW.name = 'Eve' "
                        "BEGIN SELECT RAISE(ABORT, 'refused'); END",
                        {"NAME", "GROUP"},
                        {Row {"Ann", "Sales"}, Row {"Bob", QVariant()}, Row {"Eve", "Hr"},
                         Row {"Fay", QVariant()}},
                        {"Ann", "Bob"},
                        {"DEFAULT", "Sales", "Hr"}},
                    Refusal {"GroupRefused",
                             "CREATE TRIGGER no_hr BEFORE INSERT ON grptbl WHEN NEW.gdesc = 'Hr' "
                             "BEGIN SELECT RAISE(ABORT, 'refused'); END",
                             {"NAME", "GROUP"},
                             {Row {"Ann", "Sales"}, Row {"Eve", "Hr"}, Row {"Fay", QVariant()}},
                             {"Ann"},
                             {"DEFAULT", "Sales"}},
                    // The next seq does not fit the 16-bit gid: the group row stays without one.
                    Refusal {"GidOutOfRange",
                             "UPDATE sqlite_sequence SET seq = 32767 WHERE name = 'grptbl'",
                             {"NAME", "GROUP"},
                             {Row {"Ann", QVariant()}, Row {"Eve", "Hr"}},
                             {"Ann"},
                             {"DEFAULT", "Hr"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StaffImportTest, AReadOnlyOrLockedDatabaseRefusesTheFirstWrite)
{
    addMember(db, 0, QStringLiteral("Ann"));
    dsrc.connectTo(db.path());
    dsrc.src.execute(QStringLiteral("PRAGMA query_only = 1"));
    EXPECT_FALSE(run(SheetTable({"NAME"}, {Row {"Bob"}})));
    EXPECT_EQ(answers.texts(), QStringList {postError});
    EXPECT_TRUE(answers.shown().front().reason.contains(QStringLiteral("readonly")))
        << qPrintable(answers.shown().front().reason);
    dsrc.src.execute(QStringLiteral("PRAGMA query_only = 0"));

    // Another program holds the write lock past the engine's wait.
    data::Connection other;
    openDatabase(other, db.path());
    other.beginTransaction();
    answers.clear();
    EXPECT_FALSE(run(SheetTable({"NAME"}, {Row {"Carl"}})));
    EXPECT_EQ(answers.texts(), QStringList {postError});
    EXPECT_TRUE(answers.shown().front().reason.contains(QStringLiteral("locked")))
        << qPrintable(answers.shown().front().reason);
    other.rollback();
    EXPECT_FALSE(dsrc.src.inTransaction());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM stafftbl")), 1);
}

TEST_F(StaffImportTest, OtherErrorsAreThrownWithEarlierRowsStored)
{
    db.exec(QStringLiteral("INSERT INTO grptbl (gid, gdesc) VALUES (NULL, 'Broken')"));
    dsrc.connectTo(db.path());
    const SheetTable sheet({"NAME", "GROUP"}, {Row {"Ann", QVariant()}, Row {"Bob", "Broken"}});
    EXPECT_THROW(run(sheet), data::Error);
    EXPECT_TRUE(answers.texts().isEmpty());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM stafftbl WHERE name = 'Ann'")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM stafftbl WHERE name = 'Bob'")), 0);
}

TEST_F(StaffImportTest, ANameFindsItsFirstExactMatchAlsoAmongDuplicatesAndMembersJustWritten)
{
    // "ann" sorts with "Ann" but is not her; Ann is in the file twice; Cy once.
    addMember(db, 0, QStringLiteral("ann"), QStringLiteral("lower"));
    const qint64 first = addMember(db, 0, QStringLiteral("Ann"), QStringLiteral("a1"));
    const qint64 second = addMember(db, 0, QStringLiteral("Ann"), QStringLiteral("a2"));
    addMember(db, 0, QStringLiteral("Cy"), QStringLiteral("c"));
    dsrc.connectTo(db.path());
    const SheetTable sheet({"NAME", "CHINESE_NAME"},
                           {Row {"Ann", "s1"}, Row {"Bob", "b1"}, Row {"Ann", "s2"},
                            Row {"Bob", "b2"}, Row {"Cy", "c2"}, Row {"ANN", "upper"},
                            Row {"Bob", "b3"}, Row {"Cy", "c3"}});
    EXPECT_TRUE(run(sheet));

    // seq and cname of the members of exactly that name, in seq order.
    const auto cnames = [&](const QString& name) {
        data::Query q(dsrc.src, QStringLiteral("check"));
        q.setSql(QStringLiteral(
            "select seq, cname from stafftbl where name = :name collate binary order by seq"));
        q.setParameter(QStringLiteral("name"), name);
        q.open();
        QStringList result;
        for (q.first(); !q.eof(); q.next())
            result << q.asString(QStringLiteral("seq")) + u' '
                    + q.asString(QStringLiteral("cname"));
        return result;
    };
    const auto seq = [](qint64 n) { return QString::number(n) + u' '; };
    EXPECT_EQ(cnames(QStringLiteral("ann")), QStringList {seq(1) + "lower"});
    EXPECT_EQ(cnames(QStringLiteral("Ann")), (QStringList {seq(first) + "s2", seq(second) + "a2"}))
        << "both rows overwrite the first Ann; the second keeps her data";
    EXPECT_EQ(cnames(QStringLiteral("ANN")), QStringList {seq(6) + "upper"});
    EXPECT_EQ(cnames(QStringLiteral("Bob")), QStringList {seq(5) + "b3"})
        << "a member added by the import is overwritten by its later rows";
    EXPECT_EQ(cnames(QStringLiteral("Cy")), QStringList {seq(4) + "c3"});
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM stafftbl")), 6);
}

TEST_F(StaffImportTest, StatementsArePreparedPerImportNotPerRow)
{
    // The same import of n new rows, then over the n members it made, for two sizes.
    const auto prepared = [&](int n, int pass) {
        std::vector<Row> rows;
        for (int i = 0; i < n; ++i)
            rows.push_back(Row {QStringLiteral("M%1 %2").arg(n).arg(i),
                                QStringLiteral("G%1 %2 %3").arg(n).arg(pass).arg(i % 3)});
        const std::uint64_t before = data::preparedStatements();
        EXPECT_TRUE(run(SheetTable({"NAME", "GROUP"}, std::move(rows))));
        return data::preparedStatements() - before;
    };
    // The first import of a session also opens the member list the window had not read yet.
    prepared(1, 9);
    for (int pass = 0; pass < 2; ++pass)
        EXPECT_EQ(prepared(5, pass), prepared(50, pass)) << "pass " << pass;
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM stafftbl")), 56);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM grptbl")), 14);
}

TEST_F(StaffImportTest, AMemberWhoseValuesAreTheSameIsNotWrittenAgain)
{
    db.exec(QStringLiteral("CREATE TABLE writes (name TEXT); CREATE TRIGGER counted AFTER UPDATE "
                           "ON stafftbl BEGIN INSERT INTO writes VALUES (NEW.name); END"));
    dsrc.connectTo(db.path());
    const SheetTable sheet({"NAME", "GROUP", "POST"},
                           {Row {"Ann", "Sales", "Clerk"}, Row {"Bob", QVariant(), "Boss"}});
    EXPECT_TRUE(run(sheet));
    const QVariant changed = member(QStringLiteral("Ann"))["changedutc"];
    EXPECT_TRUE(run(sheet));
    EXPECT_TRUE(run(SheetTable({"NAME", "POST"}, {Row {"Ann", "Clerk"}, Row {"Bob", "Head"}})));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT group_concat(name) FROM writes")),
              QStringLiteral("Bob"));
    EXPECT_EQ(member(QStringLiteral("Ann"))["changedutc"], changed);
    EXPECT_EQ(member(QStringLiteral("Bob"))["post"], QStringLiteral("Head"));
}

TEST(NameIndex, FollowsRenamesAppendsAndRowsChangedBehindItsBack)
{
    TempDatabase db;
    for (const char* name : {"A", "B", "A", "C"})
        addMember(db, 0, QString::fromLatin1(name));
    db.exec(QStringLiteral("INSERT INTO stafftbl (gid) VALUES (0)")); // a Null name
    data::Connection connection;
    openDatabase(connection, db.path());
    data::Query q(connection, QStringLiteral("q"));
    q.setSql(QStringLiteral("select * from stafftbl order by seq"));
    q.open();
    exchange::NameIndex index(q);
    const auto rename = [&](int row, const QVariant& name) {
        q.moveTo(row);
        q.edit();
        q.setValue(QStringLiteral("name"), name);
        q.post();
        index.posted(row);
    };
    const auto find = [&](const char* name) { return index.find(QString::fromLatin1(name)); };
    EXPECT_EQ(find("A"), 0);
    EXPECT_EQ(index.find(QVariant()), -1) << "Null equals nothing";

    rename(0, QStringLiteral("D"));
    EXPECT_EQ(find("A"), 2) << "the next A becomes the first";
    EXPECT_EQ(find("D"), 0);
    q.append();
    q.setValue(QStringLiteral("name"), QStringLiteral("A"));
    q.post();
    index.posted(q.currentRow());
    rename(2, QStringLiteral("B"));
    EXPECT_EQ(find("A"), 5) << "the appended one";
    EXPECT_EQ(find("B"), 1);
    rename(1, QVariant());
    EXPECT_EQ(find("B"), 2);
    rename(4, QStringLiteral("A"));
    EXPECT_EQ(find("A"), 4) << "a row that had no name";
    rename(0, QStringLiteral("A"));
    EXPECT_EQ(find("A"), 0);
    EXPECT_EQ(find("D"), -1);

    // Another command reopens the query with a member added meanwhile.
    addMember(db, 0, QStringLiteral("E"));
    q.close();
    q.open();
    EXPECT_EQ(find("E"), 6);
    EXPECT_EQ(find("A"), 0);
    EXPECT_EQ(find("B"), 2);
}

} // namespace
