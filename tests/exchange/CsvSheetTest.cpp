// Separated text as the import reads it: dialects, quoting, encodings and the joining date,
// and the broken files that are refused whole, naming the line.
#include "exchange/CsvSheet.h"

#include "data/Error.h"
#include "exchange/CsvDates.h"

#include <QLocale>
#include <QTimeZone>
#include <gtest/gtest.h>

// Readable failure messages for texts.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

using exchange::SheetTable;

const QString fileName = QStringLiteral("/staff/list.csv");

QByteArray utf16(const QString& text, bool bigEndian)
{
    QByteArray bytes = bigEndian ? QByteArray("\xFE\xFF") : QByteArray("\xFF\xFE");
    for (const QChar c : text) {
        const char high = char(c.unicode() >> 8), low = char(c.unicode() & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

// A cell as the tests spell it: "-" for Null, "@" and the ISO form for a date in UTC, text
// as it stands (a date held as text would be caught by the "@").
QString describe(const QVariant& cell)
{
    if (cell.isNull())
        return QStringLiteral("-");
    if (cell.typeId() == QMetaType::QDateTime) {
        const QDateTime dt = cell.toDateTime();
        return dt.timeSpec() != Qt::LocalTime && dt.offsetFromUtc() == 0
            ? u'@' + dt.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss"))
            : QStringLiteral("not in UTC");
    }
    if (cell.typeId() != QMetaType::QString)
        return QStringLiteral("not text: ") + cell.toString();
    return cell.toString();
}

// Every row described in full, cells joined by "|".
QStringList rowsOf(const SheetTable& sheet)
{
    QStringList rows;
    for (int r = 0; r < sheet.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < sheet.headings().size(); ++c)
            cells << describe(*sheet.cell(r, c));
        rows << cells.join(u'|');
    }
    return rows;
}

struct Dialect
{
    const char* name;
    QByteArray bytes;
    QStringList headings;
    QStringList rows;
};

void PrintTo(const Dialect& c, std::ostream* os)
{
    *os << c.name;
}

class CsvDialectTest : public testing::TestWithParam<Dialect>
{
};

TEST_P(CsvDialectTest, ReadsHeadingsAndRecords)
{
    const SheetTable sheet = exchange::readCsvSheet(GetParam().bytes, fileName);
    EXPECT_EQ(sheet.headings(), GetParam().headings);
    EXPECT_EQ(rowsOf(sheet), GetParam().rows);
}

const QString pastBmp = QString::fromUtf8("\xF0\xA0\xAE\xB7"); // 𠮷, a surrogate pair

INSTANTIATE_TEST_SUITE_P(
    Dialects, CsvDialectTest,
    testing::Values(
        Dialect {"CommasAndLf",
                 "NAME,GROUP\nAnn,Sales\nBob,\n",
                 {"NAME", "GROUP"},
                 {"Ann|Sales", "Bob|-"}},
        Dialect {"CrLfWithoutFinalBreak",
                 "NAME,GROUP\r\nAnn,Sales\r\nBob,Works",
                 {"NAME", "GROUP"},
                 {"Ann|Sales", "Bob|Works"}},
        Dialect {"LoneCr", "NAME,GROUP\rAnn,Sales\r", {"NAME", "GROUP"}, {"Ann|Sales"}},
        Dialect {"Semicolons",
                 "NAME;POST\nAnn;Clerk, senior\n",
                 {"NAME", "POST"},
                 {"Ann|Clerk, senior"}},
        Dialect {"Tabs",
                 "NAME\tGROUP\nLee, Ann\tSales; East\n",
                 {"NAME", "GROUP"},
                 {"Lee, Ann|Sales; East"}},
        // The separator counts only outside quotes: one semicolon against two inside.
        Dialect {"SeparatorOutsideQuotes", "\"A,B,C\";NAME\nx;Ann\n", {"A,B,C", "NAME"}, {"x|Ann"}},
        Dialect {"QuotesSeparatorsAndBreaksInQuotes",
                 "NAME,POST\n\"Lee, Ann\",\"says \"\"hi\"\"\"\n\"Bob\",\"Head of\r\nSales\"\n"
                 "Cyd,\"a\nb\rc\"\n",
                 {"NAME", "POST"},
                 {"Lee, Ann|says \"hi\"", "Bob|Head of\nSales", "Cyd|a\nb\nc"}},
        Dialect {"QuotesWithinAndAfterText",
                 "NAME,POST\n\"Ann\" Lee,5\" disk\n",
                 {"NAME", "POST"},
                 {"Ann Lee|5\" disk"}},
        Dialect {"BlanksKept", "NAME,POST\n Ann , Clerk \n", {"NAME", "POST"}, {" Ann | Clerk "}},
        Dialect {"EmptyAndMissingFieldsAreNull",
                 "NAME,GROUP,POST\nAnn\n\"\",\"\",x\n",
                 {"NAME", "GROUP", "POST"},
                 {"Ann|-|-", "-|-|x"}},
        Dialect {"StaffNumbersStayText",
                 "STAFF_ID,NAME\n00123,1e3\n",
                 {"STAFF_ID", "NAME"},
                 {"00123|1e3"}},
        // Trailing empty lines are no records; one between records is an empty row, as a
        // workbook's empty row is.
        Dialect {"EmptyLines", "NAME\nAnn\n\nBob\n\n\r\n", {"NAME"}, {"Ann", "-", "Bob"}},
        Dialect {"HeadingsOnly", "NAME,GROUP\n", {"NAME", "GROUP"}, {}},
        Dialect {"Utf8ByteOrderMark",
                 QByteArray("\xEF\xBB\xBFNAME,CHINESE_NAME\nAnn,")
                     + QString::fromUtf8("陳大文").toUtf8() + "\n",
                 {"NAME", "CHINESE_NAME"},
                 {QString::fromUtf8("Ann|陳大文")}},
        Dialect {"Utf16LittleEndianTabs",
                 utf16(QStringLiteral("NAME\tCHINESE_NAME\r\nAnn\t") + pastBmp
                           + QString::fromUtf8("陳\r\n"),
                       false),
                 {"NAME", "CHINESE_NAME"},
                 {QStringLiteral("Ann|") + pastBmp + QString::fromUtf8("陳")}},
        Dialect {"Utf16BigEndian",
                 utf16(QStringLiteral("NAME,POST\n\"Ann\",Clerk\n"), true),
                 {"NAME", "POST"},
                 {"Ann|Clerk"}},
        // Only the joining date reads dates; unreadable ones stay text.
        Dialect {"JoiningDates",
                 "NAME,Date_Join,POST\nAnn,2004-03-05,2004-03-05\nBob,5/03/2004,\n"
                 "Cyd,5/3/04 10:30 pm,\nDee,next week,\n",
                 {"NAME", "Date_Join", "POST"},
                 {"Ann|@2004-03-05T00:00:00|2004-03-05", "Bob|@2004-03-05T00:00:00|-",
                  "Cyd|@2004-03-05T22:30:00|-", "Dee|next week|-"}}),
    [](const testing::TestParamInfo<Dialect>& info) { return info.param.name; });

struct Broken
{
    const char* name;
    QByteArray bytes;
    QString reason;
};

void PrintTo(const Broken& c, std::ostream* os)
{
    *os << c.name;
}

class CsvBrokenTest : public testing::TestWithParam<Broken>
{
};

TEST_P(CsvBrokenTest, IsRefusedNamingFileAndLine)
{
    try {
        exchange::readCsvSheet(GetParam().bytes, fileName);
        ADD_FAILURE() << "no error";
    } catch (const data::Error& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("Cannot import '/staff/list.csv': ") + GetParam().reason);
    }
}

const QString notUtf8
    = QStringLiteral("line %1 is not UTF-8 text; save the file as UTF-8 or as Unicode text");

INSTANTIATE_TEST_SUITE_P(
    Broken, CsvBrokenTest,
    testing::Values(
        Broken {"UnterminatedQuote", "NAME,POST\nAnn,\"Head of\nSales\nBob,x\n",
                "the quoted field that begins on line 2 has no closing quote"},
        Broken {"UnterminatedHeading", "\"NAME",
                "the quoted field that begins on line 1 has no closing quote"},
        // Counted from where the record begins, past the line breaks of a quoted field.
        Broken {"MoreFieldsThanHeadings", "NAME,GROUP\r\nAnn,Sales\r\n\"Bob\r\nLee\",Works,x\r\n",
                "line 3 has 3 fields, but the heading line has only 2"},
        Broken {"Latin1Letter", "NAME\nAnn\nJos\xE9\n", notUtf8.arg(3)},
        Broken {"AfterByteOrderMark", "\xEF\xBB\xBFNAME\r\n\"a\r\nb\"\r\n\xFF", notUtf8.arg(4)},
        Broken {"Overlong", "NAME\n\xC0\xAF\n", notUtf8.arg(2)},
        Broken {"Surrogate", "NAME\n\xED\xA0\x80\n", notUtf8.arg(2)},
        Broken {"CutAtTheEnd", "NAME\n\xE6\x96", notUtf8.arg(2)},
        Broken {"Utf16WithoutByteOrderMark", QByteArray("N\0A\0M\0E\0", 8),
                "line 1 holds a zero byte, which no text has (UTF-16 text needs its byte order "
                "mark)"},
        Broken {"LoneSurrogate",
                utf16(QStringLiteral("NAME\nAnn") + QChar(0xD800) + QStringLiteral("x\n"), false),
                "line 2 is not UTF-16 text"},
        Broken {"OddUtf16", utf16(QStringLiteral("NAME\nAnn"), true) + QByteArray(1, 0),
                "line 2 is not UTF-16 text: the file ends within a character"},
        Broken {"TooManyColumns", QByteArray(20000, ',') + "\n",
                "its heading line has more than 16384 columns"}),
    [](const testing::TestParamInfo<Broken>& info) { return info.param.name; });

struct DateCase
{
    const char* name;
    QLocale locale;
    QString text;
    QDateTime date; // invalid: no date
};

void PrintTo(const DateCase& c, std::ostream* os)
{
    *os << c.name;
}

class CsvDateTest : public testing::TestWithParam<DateCase>
{
protected:
    void TearDown() override { QLocale::setDefault(QLocale(QLocale::English, QLocale::Australia)); }
};

TEST_P(CsvDateTest, ReadsTheIsoFormAndTheLocalesShortDate)
{
    QLocale::setDefault(GetParam().locale);
    const std::optional<QDateTime> date = exchange::readCsvDate(GetParam().text);
    if (!GetParam().date.isValid()) {
        EXPECT_FALSE(date) << date->toString(Qt::ISODate).toStdString();
        return;
    }
    ASSERT_TRUE(date);
    EXPECT_EQ(*date, GetParam().date);
    EXPECT_NE(date->timeSpec(), Qt::LocalTime);
    EXPECT_EQ(date->offsetFromUtc(), 0);
}

const QLocale au(QLocale::English, QLocale::Australia);
const QLocale us(QLocale::English, QLocale::UnitedStates);
const QLocale de(QLocale::German, QLocale::Germany);

QDateTime at(int y, int m, int d, int h = 0, int min = 0, int s = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min, s), QTimeZone::utc());
}

// A two-digit year means the one within fifty years of today.
const int thisYear = QDate::currentDate().year();
QString newYearsDay(int year)
{
    return QStringLiteral("1/1/%1").arg(year % 100, 2, 10, QChar(u'0'));
}

INSTANTIATE_TEST_SUITE_P(
    Dates, CsvDateTest,
    testing::Values(
        DateCase {"Iso", au, "2004-03-05", at(2004, 3, 5)},
        DateCase {"IsoShortFields", us, " 2004-3-5 ", at(2004, 3, 5)},
        DateCase {"IsoWithTime", au, "2004-03-05T10:30:15", at(2004, 3, 5, 10, 30, 15)},
        DateCase {"IsoWithBlankAndTime", de, "2004-03-05 10:30", at(2004, 3, 5, 10, 30)},
        DateCase {"ShortDayFirst", au, "5/3/2004", at(2004, 3, 5)},
        DateCase {"ShortPadded", au, "05/03/2004", at(2004, 3, 5)},
        DateCase {"ShortTwoDigitYear", au, "5/3/04", at(2004, 3, 5)},
        DateCase {"TwoDigitYearFortyNineYearsAgo", au, newYearsDay(thisYear - 49),
                  at(thisYear - 49, 1, 1)},
        DateCase {"TwoDigitYearFiftyYearsOn", au, newYearsDay(thisYear + 50),
                  at(thisYear + 50, 1, 1)},
        DateCase {"ShortMonthFirst", us, "3/5/2004", at(2004, 3, 5)},
        DateCase {"ShortWithPoints", de, "5.3.04", at(2004, 3, 5)},
        DateCase {"ShortWithTimeAndHalf", au, "5/3/04 10:30:00 pm", at(2004, 3, 5, 22, 30)},
        DateCase {"MidnightHalf", us, "3/5/2004 12:05 AM", at(2004, 3, 5, 0, 5)},
        DateCase {"NoSuchDay", au, "31/2/2004", {}},
        DateCase {"NoSuchIsoDay", au, "2004-02-30", {}},
        DateCase {"OtherLocalesOrder", us, "22/11/2010", {}}, DateCase {"NoYear", au, "5/3", {}},
        DateCase {"Words", au, "next week", {}}, DateCase {"TimeAlone", au, "10:30", {}},
        DateCase {"NoSuchHour", au, "5/3/2004 25:00", {}},
        DateCase {"NoSuchHalfHour", au, "5/3/2004 13:00 pm", {}},
        DateCase {"Number", au, "38051", {}}),
    [](const testing::TestParamInfo<DateCase>& info) { return info.param.name; });

} // namespace
