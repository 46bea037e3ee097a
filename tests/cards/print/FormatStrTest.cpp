#include "cards/print/FormatStr.h"

#include "PrintFixture.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace {

struct DateCase
{
    const char* stored;
    const char* printed;
};

class FormatStrCases : public ::testing::TestWithParam<DateCase>
{
};

// Day-first English locale with "/" (the test program's default).
TEST_P(FormatStrCases, ShowsDatesAsDayMonthNameYear)
{
    EXPECT_EQ(cards::FormatStr(QString::fromUtf8(GetParam().stored)),
              QString::fromUtf8(GetParam().printed));
}

INSTANTIATE_TEST_SUITE_P(Texts, FormatStrCases,
                         ::testing::Values(DateCase {"5/03/2004", "5/Mar, 2004"},
                                           DateCase {"05/03/2004", "5/Mar, 2004"},
                                           DateCase {"31/12/1999", "31/Dec, 1999"},
                                           DateCase {"5/03/2004 10:30", "5/Mar, 2004"},
                                           DateCase {"10:30", "30/Dec, 1899"}, // a time alone
                                           DateCase {"31/02/2004", "31/02/2004"}, // no such day
                                           DateCase {"next week", "next week"}, DateCase {"", ""},
                                           DateCase {"5/03/2004 later", "5/03/2004 later"}));

TEST(FormatStr, UsesTheLocalesSeparatorAndMonthNames)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); // "dd.MM.yy"
    const QString printed = cards::FormatStr(QStringLiteral("5.03.2004"));
    QLocale::setDefault(saved);
    EXPECT_EQ(printed,
              QStringLiteral("5.") + QLocale(QLocale::German).monthName(3, QLocale::ShortFormat)
                  + QStringLiteral(", 2004"));
}

TEST(FormatStr, UsesASlashWhereTheLocaleHasNoSeparator)
{
    const QLocale saved;
    QLocale::setDefault(QLocale::c()); // "d MMM yyyy"
    const QString printed = cards::FormatStr(QStringLiteral("5/03/2004"));
    const QString earlier = cards::FormatStr(QStringLiteral("5 03 2004"));
    QLocale::setDefault(saved);
    EXPECT_EQ(printed, QStringLiteral("5/Mar, 2004"));
    EXPECT_EQ(earlier, QStringLiteral("5/Mar, 2004"));
}

} // namespace
