#include "ScriptedAnswers.h"
#include "TempDatabase.h"
#include "data/Error.h"
#include "data/ErrorHandler.h"
#include "data/Utils.h"
#include "data/WidgetUtils.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QLocale>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimeZone>

using namespace data;

class HelpersTest : public QObject
{
    Q_OBJECT
    TempDatabase db;
    Tdsrc dsrc;

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::Australia));
        db.exec(QStringLiteral("insert into grptbl (gid, gdesc) values (5, 'Sales'), (6, 'sales'),"
                               " (7, 'Sales')"));
        dsrc.connectTo(db.path());
    }

    void selectComboTextIsExactAndTakesTheFirst()
    {
        QComboBox combo;
        combo.addItems({"DEFAULT", "Sales", "sales", "Sales"});
        combo.setCurrentIndex(0);
        QSignalSpy activated(&combo, &QComboBox::activated);
        QVERIFY(!SelectComboText(&combo, QStringLiteral("SALES")));
        QCOMPARE(combo.currentIndex(), 0);
        QVERIFY(!SelectComboText(&combo, QStringLiteral("Sales ")));
        QVERIFY(SelectComboText(&combo, QStringLiteral("Sales")));
        QCOMPARE(combo.currentIndex(), 1);
        QVERIFY(SelectComboText(&combo, QStringLiteral("sales")));
        QCOMPARE(combo.currentIndex(), 2);
        QCOMPARE(activated.count(), 0);
    }

    void locateReadsTheFirstMatchOrNothing()
    {
        Query& g = dsrc.QGroup;
        qint32 gid = -1;
        QVERIFY(LocateInt(g, QStringLiteral("Sales"), QStringLiteral("gdesc"),
                          QStringLiteral("gid"), gid));
        QCOMPARE(gid, 5);
        g.first();
        QVERIFY(!LocateInt(g, QStringLiteral("Nobody"), QStringLiteral("gdesc"),
                           QStringLiteral("gid"), gid));
        QCOMPARE(gid, 0);
        QCOMPARE(g.currentRow(), 0); // unchanged
        QString name = QStringLiteral("x");
        QVERIFY(LocateStr(g, 6, QStringLiteral("gid"), QStringLiteral("gdesc"), name));
        QCOMPARE(name, QStringLiteral("sales"));
        QVERIFY(!LocateStr(g, 42, QStringLiteral("gid"), QStringLiteral("gdesc"), name));
        QCOMPARE(name, QString());
        QVERIFY_THROWS_EXCEPTION(
            Error, LocateStr(g, 6, QStringLiteral("gid"), QStringLiteral("nosuch"), name));
    }

    void fillsFollowTheQueryAndReplaceOldItems()
    {
        QComboBox combo;
        combo.addItem(QStringLiteral("old"));
        FillComboBox(dsrc.QGroup, QStringLiteral("gdesc"), &combo);
        QCOMPARE(combo.count(), 4);
        QCOMPARE(combo.currentIndex(), 0);
        QCOMPARE(combo.itemText(0), QStringLiteral("DEFAULT"));
        QVERIFY(dsrc.QGroup.eof());

        QMenu menu;
        QList<int> clicked;
        auto handler = [&](QAction* a) { clicked << a->data().toInt(); };
        FillPopupMenu(dsrc.QGroup, QStringLiteral("gdesc"), QStringLiteral("gid"), &menu, handler);
        FillPopupMenu(dsrc.QGroup, QStringLiteral("gdesc"), QStringLiteral("gid"), &menu, handler);
        QCOMPARE(menu.actions().size(), 4);
        menu.actions().at(1)->trigger();
        QCOMPARE(clicked, QList<int> {dsrc.QGroup.rowValue(1, QStringLiteral("gid")).toInt()});

        Query empty(dsrc.src, QStringLiteral("empty"));
        empty.setSql(QStringLiteral("select * from grptbl where gid = -1"));
        empty.open();
        FillComboBox(empty, QStringLiteral("gdesc"), &combo);
        QCOMPARE(combo.count(), 0);
        QCOMPARE(combo.currentIndex(), -1);
        FillPopupMenu(empty, QStringLiteral("gdesc"), QStringLiteral("gid"), &menu, handler);
        QVERIFY(menu.actions().isEmpty());
    }

    void aNullStopsTheFillButKeepsEarlierItems()
    {
        db.exec(QStringLiteral("insert into grptbl (gid, gdesc) values (9, NULL)"));
        Query q(dsrc.src, QStringLiteral("QGroup"));
        q.setSql(QStringLiteral("select * from grptbl order by gid desc"));
        q.open();
        QComboBox combo;
        QVERIFY_THROWS_EXCEPTION(Error, FillComboBox(q, QStringLiteral("gdesc"), &combo));
        QCOMPARE(combo.count(), 0); // the first row is the Null one
        db.exec(QStringLiteral("delete from grptbl where gdesc is null"));
    }

    void fieldAsStringNeverFails_data()
    {
        QTest::addColumn<std::optional<QVariant>>("field");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("text");
        QTest::newRow("absent") << std::optional<QVariant>() << false << QString();
        QTest::newRow("null") << std::optional<QVariant>(QVariant()) << true << QString();
        QTest::newRow("text") << std::optional<QVariant>(QStringLiteral("張三")) << true
                              << QStringLiteral("張三");
        QTest::newRow("number") << std::optional<QVariant>(1234.0) << true
                                << QStringLiteral("1234");
        QTest::newRow("date") << std::optional<QVariant>(QDateTime(QDate(2004, 3, 5), QTime(0, 0)))
                              << true << QStringLiteral("5/3/04");
        // Plain decimal form, never an exponent.
        QTest::newRow("1e16") << std::optional<QVariant>(1e16) << true
                              << QStringLiteral("10000000000000000");
        QTest::newRow("-2.5e20") << std::optional<QVariant>(-2.5e20) << true
                                 << QStringLiteral("-250000000000000000000");
        QTest::newRow("1.5e-7") << std::optional<QVariant>(1.5e-7) << true
                                << QStringLiteral("0.00000015");
        QTest::newRow("fraction") << std::optional<QVariant>(0.1 + 0.2) << true
                                  << QStringLiteral("0.3");
        // A date and time from a workbook: the long time without any zone name.
        QTest::newRow("date and time") << std::optional<QVariant>(
            QDateTime(QDate(2010, 11, 22), QTime(13, 45), QTimeZone::utc()))
                                       << true << QStringLiteral("22/11/10 1:45:00 PM");
    }
    void fieldAsStringNeverFails()
    {
        QFETCH(std::optional<QVariant>, field);
        QFETCH(bool, ok);
        QFETCH(QString, text);
        QString result = QStringLiteral("junk");
        QCOMPARE(FieldAsString(field, result), ok);
        QCOMPARE(result, text);
    }

    void messagesAndConfirmations()
    {
        ScriptedAnswers answers;
        answers.confirmWith(false); // Esc or Cancel
        answers.confirmWith(true);
        QVERIFY(!ConfirmDelete());
        QVERIFY(ConfirmOverwrite());
        ShowPostError();
        ShowCreateError();
        ShowSettingsSaved();
        QCOMPARE(answers.questions(),
                 (QStringList {"Delete the record?", "Overwrite the record?"}));
        QCOMPARE(answers.texts(),
                 (QStringList {"Unable to post the data.", "Unable to create the new object.",
                               "Settings are saved."}));
        QCOMPARE(answers.shown().at(0).title, QStringLiteral("Error"));
        QCOMPARE(answers.shown().at(2).title, QStringLiteral("Information"));
        QCOMPARE(answers.shown().at(2).icon, MessageIcon::Information);
    }

    void generalHandlerAppendsAFullStop_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << "Field 'x' not found"
                                << "Field 'x' not found.";
        QTest::newRow("quote") << "Cannot open 'a'"
                               << "Cannot open 'a'"; // ' sorts before .
        QTest::newRow("stop") << "Done."
                              << "Done.";
        QTest::newRow("bang") << "Stop!"
                              << "Stop!";
        QTest::newRow("paren") << "(x)"
                               << "(x)";
        QTest::newRow("digit") << "between 1 and 2"
                               << "between 1 and 2.";
        QTest::newRow("empty") << ""
                               << "";
    }
    void generalHandlerAppendsAFullStop()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        ScriptedAnswers answers;
        guarded([&] { throw Error(message); });
        QCOMPARE(answers.shown().size(), size_t(1));
        QCOMPARE(answers.shown().at(0).title, QStringLiteral("Melbrin"));
        QCOMPARE(answers.shown().at(0).icon, MessageIcon::Error);
        QCOMPARE(answers.shown().at(0).text, shown);
    }
};

QTEST_MAIN(HelpersTest)
#include "HelpersTest.moc"
