#include "Workbooks.h"
#include "data/Error.h"
#include "data/Utils.h"
#include "exchange/CompoundFile.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimeZone>
#include <gtest/gtest.h>
#include <string_view>

namespace {

using exchange::SheetTable;

const QByteArray signature(reinterpret_cast<const char*>(exchange::compoundSignature), 8);

class WorkbookReaderTest : public testing::Test
{
protected:
    QString file(const QString& name) const { return dir.filePath(name); }
    QString errorOf(const exchange::WorkbookReader& reader, const QString& path) const
    {
        try {
            reader.read(path);
        } catch (const data::Error& e) {
            return e.message();
        }
        return QStringLiteral("(no error)");
    }
    QTemporaryDir dir;
};

TEST_F(WorkbookReaderTest, ReadsTextNumbersDatesAndEmptyCellsOfTheRecordsSheet)
{
    const QString path = makeWorkbook(file(QStringLiteral("staff.xls")), QStringLiteral(R"({
        "sheets": [{"name": "Notes", "rows": [["not", "this"]]},
                   {"name": "records", "rows": [
            ["NAME", "group", "DATE_JOIN", null, "POST"],
            ["陈大文 Chan", "Sales", {"date": "2004-03-05"}, null, 12.5, "right of the headings"],
            ["Bob", null, {"datetime": "2004-03-05 10:30:00"}],
            [null, null, {"time": "10:30:00"}, null, 7]]}]})"));
    const SheetTable sheet = buildReader().read(path);

    EXPECT_EQ(sheet.headings(), QStringList({"NAME", "group", "DATE_JOIN", "", "POST"}));
    ASSERT_EQ(sheet.rowCount(), 3);
    EXPECT_EQ(sheet.cell(0, 0), QVariant(QStringLiteral("陈大文 Chan")));
    EXPECT_EQ(sheet.cell(0, 4), QVariant(12.5));
    EXPECT_EQ(sheet.cell(0, 5), QVariant()) << "nothing right of the last heading";
    EXPECT_EQ(sheet.cell(0, 2),
              QVariant(QDateTime(QDate(2004, 3, 5), QTime(0, 0), QTimeZone::utc())));
    EXPECT_EQ(sheet.cell(1, 2),
              QVariant(QDateTime(QDate(2004, 3, 5), QTime(10, 30), QTimeZone::utc())));
    EXPECT_EQ(sheet.cell(2, 2),
              QVariant(QDateTime(QDate(1899, 12, 30), QTime(10, 30), QTimeZone::utc())));
    EXPECT_TRUE(sheet.cell(1, 1)->isNull());
    EXPECT_TRUE(sheet.cell(2, 0)->isNull());
    EXPECT_EQ(sheet.cell(0, -1), std::nullopt);

    QString text;
    data::FieldAsString(sheet.cell(0, 2), text);
    EXPECT_EQ(text, QLocale().toString(QDate(2004, 3, 5), QLocale::ShortFormat));
}

TEST_F(WorkbookReaderTest, EmptySheetHeadingsOnlyAndHugeTexts)
{
    const QString empty = makeWorkbook(file(QStringLiteral("empty.xls")),
                                       QStringLiteral(R"({"sheets": [{"name": "RECORDS"}]})"));
    SheetTable sheet = buildReader().read(empty);
    EXPECT_TRUE(sheet.headings().isEmpty());
    EXPECT_EQ(sheet.rowCount(), 0);

    const QString headings = makeWorkbook(
        file(QStringLiteral("headings.xls")),
        QStringLiteral(R"({"sheets": [{"name": "RECORDS", "rows": [["NAME", "GROUP"]]}]})"));
    sheet = buildReader().read(headings);
    EXPECT_EQ(sheet.headings(), QStringList({"NAME", "GROUP"}));
    EXPECT_EQ(sheet.rowCount(), 0);

    // Texts longer than one record of the file format (8,224 bytes) come back whole.
    for (const QString& text : {QString(8000, QChar(0x9673)), QString(12000, u'x')}) {
        const QString big = makeWorkbook(
            file(QStringLiteral("big.xls")),
            QStringLiteral(R"({"sheets": [{"name": "RECORDS", "rows": [["NAME"], ["%1"]]}]})")
                .arg(text));
        sheet = buildReader().read(big);
        ASSERT_EQ(sheet.rowCount(), 1);
        EXPECT_EQ(sheet.cell(0, 0)->toString(), text);
    }
}

TEST_F(WorkbookReaderTest, FilesThatAreNoUsableWorkbookAreRefusedClearly)
{
    const QString noRecords = makeWorkbook(
        file(QStringLiteral("other.xls")),
        QStringLiteral(R"({"sheets": [{"name": "Staff", "rows": [["NAME"], ["Ann"]]}]})"));
    struct Case
    {
        QString path;
        QString reason;
    };
    const Case cases[] = {
        {noRecords, QStringLiteral("it has no worksheet named RECORDS")},
        {writeFile(file(QStringLiteral("text.xls")), "NAME,GROUP\nAnn,Sales\n"),
         QStringLiteral("its name says an Excel 97-2003 workbook (.xls), but it holds separated "
                        "text (.csv)")},
        {writeFile(file(QStringLiteral("zipped.xls")),
                   QByteArray("PK\3\4", 4) + QByteArray(600, 'z')),
         QStringLiteral("its name says an Excel 97-2003 workbook (.xls), but it holds an Excel "
                        "workbook (.xlsx)")},
        {writeFile(file(QStringLiteral("workbook.csv")), signature + QByteArray(600, 'z')),
         QStringLiteral("its name says separated text (.csv), but it holds an Excel 97-2003 "
                        "workbook (.xls)")},
        {writeFile(file(QStringLiteral("nothing.xls")), {}), QStringLiteral("it is empty")},
        {writeFile(file(QStringLiteral("damaged.xls")), signature + QByteArray(4000, '\xff')),
         QStringLiteral("it is damaged or not an Excel workbook")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(errorOf(buildReader(), c.path),
                  QStringLiteral("Cannot import '%1': %2").arg(c.path, c.reason));
    }
    EXPECT_TRUE(
        errorOf(buildReader(), file(QStringLiteral("missing.xls")))
            .startsWith(
                QStringLiteral("Cannot import '%1': ").arg(file(QStringLiteral("missing.xls")))));
}

struct Misbehaviour
{
    const char* mode;
    const char* reason;
};

void PrintTo(const Misbehaviour& c, std::ostream* os)
{
    *os << c.mode;
}

class ReaderMisbehaviour : public WorkbookReaderTest,
                           public testing::WithParamInterface<Misbehaviour>
{
};

TEST_P(ReaderMisbehaviour, EndsAsACleanFailureWithinItsLimits)
{
    exchange::ReaderLimits limits;
    limits.memoryBytes = 256LL << 20;
    limits.cpuSeconds = 1;
    // Only the sleeping reader is meant to meet the clock. The others must meet their own
    // limit first, even on a machine so busy that a second of processor time takes many
    // seconds to come.
    limits.wallMilliseconds = GetParam().mode == std::string_view("sleep") ? 3000 : 30'000;
    limits.outputBytes = 4 << 20;
    const QString path = writeFile(file(QStringLiteral("input.xls")), signature + GetParam().mode);
    QElapsedTimer clock;
    clock.start();
    const QString message = errorOf(misbehavingReader(limits), path);
    EXPECT_LT(clock.elapsed(), limits.wallMilliseconds + 7000);
    EXPECT_TRUE(message.startsWith(QStringLiteral("Cannot import '%1': ").arg(path)))
        << qPrintable(message);
    EXPECT_TRUE(message.contains(QLatin1String(GetParam().reason))) << qPrintable(message);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ReaderMisbehaviour,
    testing::Values(Misbehaviour {"crash", "stopped unexpectedly"},
                    Misbehaviour {"spin", "stopped unexpectedly"}, // the processor time limit
                    Misbehaviour {"sleep", "took too long"},
                    Misbehaviour {"hog", "stopped unexpectedly"},
                    Misbehaviour {"flood", "too large to import"},
                    Misbehaviour {"garbage", "answer cannot be used"},
                    Misbehaviour {"truncated", "answer cannot be used"},
                    Misbehaviour {"badexit", "answer cannot be used (exit code 3)"}),
    [](const auto& info) { return std::string(info.param.mode); });

TEST_F(WorkbookReaderTest, AMissingReaderProgramIsNamed)
{
    const QString path = writeFile(file(QStringLiteral("input.xls")), signature + "crash");
    const exchange::WorkbookReader reader(file(QStringLiteral("no-such-reader")));
    EXPECT_TRUE(
        errorOf(reader, path).contains(QStringLiteral("no-such-reader' cannot be started")));
}

} // namespace
