// The import command with an .xlsx workbook: the example staff list, saved as .xlsx by
// LibreOffice, gives the same members as the .xls one.
#include "RecordingProgress.h"
#include "ScriptedAnswers.h"
#include "TempDatabase.h"
#include "Workbooks.h"
#include "data/Error.h"
#include "exchange/ImportCommand.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

// Every member row with its group, as the database holds them after importing workbook.
QStringList importedRows(const QString& workbook)
{
    TempDatabase db;
    data::Tdsrc dsrc;
    dsrc.connectTo(db.path());
    const QString copy = db.dir() + "/staff." + QFileInfo(workbook).suffix();
    EXPECT_TRUE(QFile::copy(workbook, copy));
    ScriptedAnswers answers;
    answers.chooseFile(copy);
    RecordingProgress progress;
    EXPECT_TRUE(exchange::importWorkbook(nullptr, dsrc, progress, buildReader()));

    data::Query q(dsrc.src, QStringLiteral("check"));
    q.setSql(QStringLiteral("select * from stafftbl left join grptbl on stafftbl.gid = grptbl.gid "
                            "order by stafftbl.seq"));
    q.open();
    QStringList rows;
    for (q.first(); !q.eof(); q.next()) {
        QStringList values;
        for (int c = 0; c < q.columnCount(); ++c) {
            if (q.columnName(c) != u"changedutc") // when it was imported
                values << q.columnName(c) + '=' + q.value(q.columnName(c)).toString();
        }
        rows << values.join(u'|');
    }
    return rows;
}

TEST(XlsxImportTest, TheExampleWorkbookGivesTheSameMembersAsItsXlsOriginal)
{
    const QStringList fromXls = importedRows(QStringLiteral(EXAMPLES_DIR "/import.xls"));
    ASSERT_GE(fromXls.size(), 2);
    const QStringList fromXlsx = importedRows(QStringLiteral(EXAMPLES_DIR "/import.xlsx"));
    EXPECT_EQ(fromXlsx.join(u'\n').toStdString(), fromXls.join(u'\n').toStdString());
}

} // namespace
