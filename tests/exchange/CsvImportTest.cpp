// Staff lists saved as text by other programs import as the workbook they were saved from:
// LibreOffice's and Python's files of staff.xls give the database rows that staff.xls gives
// (see fixtures/make_csv_fixtures.sh); a broken file imports nothing.
#include "RecordingProgress.h"
#include "ScriptedAnswers.h"
#include "TempDatabase.h"
#include "Workbooks.h"
#include "data/Error.h"
#include "exchange/ImportCommand.h"

#include <QFile>
#include <gtest/gtest.h>

// Readable failure messages for texts.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

QString fixture(const char* name)
{
    return QStringLiteral(FIXTURES_DIR "/") + QString::fromLatin1(name);
}

// Imports the file through the command into a database of its own and gives back every
// stored member, in the order of the import, as "group|gid|staff no|name|..." with SQL's
// quoting (NULL, 'text').
QStringList importedRows(const QString& path)
{
    TempDatabase db;
    data::Tdsrc dsrc;
    dsrc.connectTo(db.path());
    ScriptedAnswers answers;
    RecordingProgress progress;
    answers.chooseFile(path);
    EXPECT_TRUE(exchange::importWorkbook(nullptr, dsrc, progress, buildReader()));
    EXPECT_TRUE(answers.shown().empty());
    data::Query q(dsrc.src, QStringLiteral("check"));
    q.setSql(QStringLiteral(
        "select quote(g.gdesc) || '|' || quote(s.gid = g.gid) || '|' || quote(s.staffno) || '|' "
        "|| quote(s.name) || '|' || quote(s.cname) || '|' || quote(s.post) || '|' "
        "|| quote(s.datejoin) || '|' || quote(s.expiry) || '|' || quote(s.remark) || '|' "
        "|| quote(s.photo) || '|' || quote(s.cardno) as line "
        "from stafftbl s left join grptbl g on g.gid = s.gid order by s.seq"));
    q.open();
    QStringList rows;
    for (q.first(); !q.eof(); q.next())
        rows << q.asString(QStringLiteral("line"));
    return rows;
}

TEST(CsvImportTest, TheWorkbookGivesTheRowsItHolds)
{
    // The workbook's number, date and date-time cells as the import writes them.
    const QStringList expected = {
        QString::fromUtf8("'Sales'|1|'1001'|'Chan Tai Man'|'陳大文'|'Manager'|'5/3/04'|' '|' '|"
                          "NULL|NULL"),
        QString::fromUtf8("'Sales'|1|'00123'|'Lee, Siu Ming'|'李小明'|'Clerk \"B\"'|"
                          "'22/11/10 10:30:00 AM'|' '|' '|NULL|NULL"),
        QString::fromUtf8("'Accounts'|1|'A-17'|'Wong Mei Ling'|'黃美玲'|'Head of\nAccounts'|"
                          "'1/2/03'|' '|' '|NULL|NULL"),
        QString::fromUtf8("'DEFAULT'|1|'1004'|'Ho Ka Yan'|'何嘉欣'|'2.5'|''|' '|' '|NULL|NULL"),
        QString::fromUtf8("'Sales; East'|1|''|'Lam 𠮷'|''|' Driver '|'31/12/99'|' '|' '|NULL|"
                          "NULL"),
    };
    EXPECT_EQ(importedRows(fixture("staff.xls")), expected);
}

class CsvFixtureTest : public testing::TestWithParam<const char*>
{
};

TEST_P(CsvFixtureTest, ImportsAsTheWorkbookItWasSavedFrom)
{
    EXPECT_EQ(importedRows(fixture(GetParam())), importedRows(fixture("staff.xls")));
}

INSTANTIATE_TEST_SUITE_P(OtherPrograms, CsvFixtureTest,
                         testing::Values("staff-lo.csv", "staff-lo-semicolon.csv",
                                         "staff-lo-unicode.txt", "staff-python.csv",
                                         "staff-python-tab.txt"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             std::string name;
                             for (const char* c = info.param; *c && *c != '.'; ++c)
                                 name += std::isalnum(uchar(*c)) ? *c : '_';
                             return name;
                         });

TEST(CsvImportTest, ABrokenLineLeavesTheDatabaseAsItWas)
{
    TempDatabase db;
    data::Tdsrc dsrc;
    dsrc.connectTo(db.path());
    ScriptedAnswers answers;
    RecordingProgress progress;
    const QString path = writeFile(db.dir() + QStringLiteral("/staff.csv"),
                                   "NAME,GROUP\nAnn,Sales\nBob,Works\nCyd,Admin,extra\n");
    answers.chooseFile(path);
    try {
        exchange::importWorkbook(nullptr, dsrc, progress, buildReader());
        ADD_FAILURE() << "no error";
    } catch (const data::Error& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("Cannot import '%1': line 4 has 3 fields, but the heading line "
                                 "has only 2")
                      .arg(path));
    }
    EXPECT_FALSE(progress.shown);
    EXPECT_EQ(db.scalar(QStringLiteral("select count(*) from stafftbl")).toLongLong(), 0);
    EXPECT_EQ(db.scalar(QStringLiteral("select count(*) from grptbl")).toLongLong(), 1);
}

} // namespace
