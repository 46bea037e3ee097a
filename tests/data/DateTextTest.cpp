#include "data/DateText.h"

#include "data/Error.h"
#include "data/SettingsStore.h"

#include <QLocale>
#include <QSettings>
#include <gtest/gtest.h>

namespace {

struct DateCase
{
    QLocale locale;
    QString text;
    QDate expected; // invalid: does not read
};

class DateText : public ::testing::TestWithParam<DateCase>
{
protected:
    void TearDown() override { QLocale::setDefault(QLocale(QLocale::English, QLocale::Australia)); }
};

const QLocale au(QLocale::English, QLocale::Australia);
const QLocale gb(QLocale::English, QLocale::UnitedKingdom);
const QLocale us(QLocale::English, QLocale::UnitedStates);
const QLocale de(QLocale::German, QLocale::Germany);
// A fresh machine's C.UTF-8: its short format "d MMM yyyy" has no date separator.
const QLocale c = QLocale::c();

} // namespace

TEST_P(DateText, ReadsTheStoredFormDayFirstThenTheLocale)
{
    QLocale::setDefault(GetParam().locale);
    EXPECT_EQ(data::textToDate(GetParam().text), GetParam().expected)
        << GetParam().text.toStdString() << " in " << GetParam().locale.name().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Locales, DateText,
    ::testing::Values(DateCase {au, "5/03/2004", QDate(2004, 3, 5)},
                      DateCase {us, "5/03/2004", QDate(2004, 3, 5)},
                      DateCase {de, "5.03.2004", QDate(2004, 3, 5)},
                      DateCase {us, "5-03-2004", QDate(2004, 3, 5)}, // any single separator
                      DateCase {c, "5/03/2004", QDate(2004, 3, 5)},
                      DateCase {c, "5 03 2004", QDate(2004, 3, 5)}, // written by C before
                      DateCase {us, "3/5/04", QDate(2004, 3, 5)}, // the locale's own short form
                      DateCase {us, "3/5/99", QDate(1999, 3, 5)},
                      DateCase {au, "31/02/2004", QDate()}, DateCase {au, "soon", QDate()},
                      DateCase {au, "", QDate()}, DateCase {au, "5/03-2004", QDate()}));

TEST(DateTextWriting, UsesTheLocaleSeparatorOrASlash)
{
    const QDate d(2004, 3, 5);
    for (const auto& [locale, text] :
         {std::pair {au, "5/03/2004"}, std::pair {de, "5.03.2004"},
          std::pair {QLocale(QLocale::Dutch, QLocale::Netherlands), "5-03-2004"},
          std::pair {c, "5/03/2004"},
          std::pair {QLocale(QStringLiteral("C.UTF-8")), "5/03/2004"}}) {
        QLocale::setDefault(locale);
        EXPECT_EQ(data::dateToText(d), QString::fromUtf8(text)) << locale.name().toStdString();
        EXPECT_EQ(data::textToDate(data::dateToText(d)), d);
    }
    QLocale::setDefault(au);
    EXPECT_EQ(data::dateToText(QDate(2010, 12, 25)), QStringLiteral("25/12/2010"));
}

TEST(DateTextWriting, EveryLocaleReadsWhatAnyOtherWrote)
{
    const QLocale locales[] = {c, gb, us, de, QLocale(QLocale::Dutch, QLocale::Netherlands)};
    for (const QDate d : {QDate(2004, 3, 5), QDate(2010, 12, 25), QDate(1999, 1, 12)}) {
        for (const QLocale& writer : locales) {
            QLocale::setDefault(writer);
            const QString text = data::dateToText(d);
            for (const QLocale& reader : locales) {
                QLocale::setDefault(reader);
                EXPECT_EQ(data::textToDate(text), d)
                    << text.toStdString() << " written in " << writer.name().toStdString()
                    << ", read in " << reader.name().toStdString();
            }
        }
    }
    QLocale::setDefault(au);
}

TEST(SettingsStore, ReadsDefaultsForMissingOrBadValues)
{
    QSettings s(QStringLiteral("Tavrik"), QStringLiteral("Melbrin"));
    s.clear();
    s.setValue(QStringLiteral("neg"), QStringLiteral("-12"));
    s.setValue(QStringLiteral("abc"), QStringLiteral("abc"));
    s.setValue(QStringLiteral("list"), QStringList {"a", "b"});
    s.sync();
    EXPECT_EQ(data::ReadRegInt(QStringLiteral("missing"), 640), 640);
    EXPECT_EQ(data::ReadRegInt(QStringLiteral("neg"), 0), -12);
    EXPECT_EQ(data::ReadRegInt(QStringLiteral("abc"), 7), 7);
    EXPECT_THROW(data::ReadRegInt(QStringLiteral("list"), 0), data::Error);
    data::WriteRegBool(QStringLiteral("flag"), true);
    EXPECT_EQ(s.value(QStringLiteral("flag")).toString(), QStringLiteral("1"));
    EXPECT_TRUE(data::ReadRegBool(QStringLiteral("flag"), false));
    EXPECT_FALSE(data::ReadRegBool(QStringLiteral("missing"), false));
    EXPECT_EQ(data::defaultColumnWidth(QStringLiteral("TEXT")), 100);
    EXPECT_EQ(data::defaultColumnWidth(QStringLiteral("BOOLEAN")), 50);
}
