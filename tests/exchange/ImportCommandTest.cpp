#include "exchange/ImportCommand.h"

#include "RecordingProgress.h"
#include "ScriptedAnswers.h"
#include "TempDatabase.h"
#include "Workbooks.h"
#include "data/Error.h"

#include <gtest/gtest.h>

namespace {

class ImportCommandTest : public testing::Test
{
protected:
    void SetUp() override { dsrc.connectTo(db.path()); }
    bool run() { return exchange::importWorkbook(nullptr, dsrc, progress, buildReader()); }
    qint64 members() const
    {
        return db.scalar(QStringLiteral("SELECT count(*) FROM stafftbl")).toLongLong();
    }

    TempDatabase db;
    data::Tdsrc dsrc;
    ScriptedAnswers answers;
    RecordingProgress progress;
};

TEST_F(ImportCommandTest, ACancelledDialogReadsNothingAndAsksForTheReload)
{
    answers.chooseFile(std::nullopt);
    EXPECT_TRUE(run());
    EXPECT_EQ(answers.lastFilter,
              QStringLiteral("Excel Files (*.xls);;Excel Workbooks (*.xlsx);;CSV Files (*.csv "
                             "*.txt);;All Files (*)"));
    EXPECT_EQ(answers.lastTitle, QStringLiteral("Import Staff Records"));
    EXPECT_FALSE(dsrc.QAllStaff.isOpen());
    EXPECT_FALSE(progress.shown);
    EXPECT_EQ(members(), 0);
}

TEST_F(ImportCommandTest, AWorkbookIsImportedWithItsUnicodeNamesIntact)
{
    makeWorkbook(QStringLiteral("%1/import.xls").arg(db.dir()), QStringLiteral(R"({
        "sheets": [{"name": "RECORDS", "rows": [
            ["Name", "Chinese_Name", "Group"],
            ["Chan Tai Man", "陳大文", "營業部"],
            ["Lee Siu Ming", "李小明", "營業部"]]}]})"));
    // Typed without its extension, the name gets ".xls".
    answers.chooseFile(QStringLiteral("%1/import").arg(db.dir()));
    EXPECT_TRUE(run());
    EXPECT_FALSE(dsrc.QAllStaff.isOpen());
    EXPECT_EQ(progress.max, 2);
    EXPECT_EQ(progress.steps, 2);

    data::Query q(dsrc.src, QStringLiteral("check"));
    q.setSql(QStringLiteral("select * from stafftbl left join grptbl on stafftbl.gid = grptbl.gid "
                            "order by stafftbl.seq"));
    q.open();
    ASSERT_EQ(q.rowCount(), 2);
    EXPECT_EQ(q.asString(QStringLiteral("cname")), QStringLiteral("陳大文"));
    EXPECT_EQ(q.asString(QStringLiteral("gdesc")), QStringLiteral("營業部"));
    q.next();
    EXPECT_EQ(q.asString(QStringLiteral("cname")), QStringLiteral("李小明"));
}

// A name typed without extension that names no file takes the extension of the kind chosen
// in the dialog, or .xls; a file of that very name is taken as it is.
TEST_F(ImportCommandTest, ATypedNameTakesTheExtensionOfTheChosenKind)
{
    const QString csv = QStringLiteral("CSV Files (*.csv *.txt)");
    writeFile(db.dir() + QStringLiteral("/staff.csv"), "NAME\nAnn\n");
    writeFile(db.dir() + QStringLiteral("/staff.txt"), "NAME\nBob\n");
    writeFile(db.dir() + QStringLiteral("/plain"), "NAME\nCyd\n");
    makeWorkbook(db.dir() + QStringLiteral("/book.xls"), QStringLiteral(R"({
        "sheets": [{"name": "RECORDS", "rows": [["NAME"], ["Dee"]]}]})"));
    answers.chooseFile(db.dir() + QStringLiteral("/staff"), csv);
    answers.chooseFile(db.dir() + QStringLiteral("/plain"), csv);
    answers.chooseFile(db.dir() + QStringLiteral("/book"), QStringLiteral("All Files (*)"));
    answers.chooseFile(db.dir() + QStringLiteral("/staff.txt"), csv);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(run());
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_TRUE(answers.shown().empty());
    const QString names = QStringLiteral(
        "select group_concat(name, ' ') from (select name from stafftbl order by seq)");
    EXPECT_EQ(db.scalar(names).toString(), QStringLiteral("Ann Cyd Dee Bob"));
}

TEST_F(ImportCommandTest, AnUnreadableWorkbookIsThrownWithNothingWritten)
{
    const QString path
        = writeFile(QStringLiteral("%1/staff.csv.xls").arg(db.dir()), "NAME,GROUP\nAnn,Sales\n");
    answers.chooseFile(path);
    try {
        run();
        ADD_FAILURE() << "no error";
    } catch (const data::Error& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral(
                      "Cannot import '%1': its name says an Excel 97-2003 workbook (.xls), but "
                      "it holds separated text (.csv)")
                      .arg(path));
    }
    EXPECT_FALSE(dsrc.QAllStaff.isOpen());
    EXPECT_FALSE(progress.shown);
    EXPECT_EQ(members(), 0);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT count(*) FROM grptbl")).toLongLong(), 1);
}

} // namespace
