// The window reads only the chosen group's members before it shows; every other shared
// query is opened by the command that needs it and gives the rows it gave when all of them
// were opened at start-up.
#include "MainWindowFixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

void staffOfTwoGroups(TempDatabase& db)
{
    db.exec(QStringLiteral("insert into grptbl (gid, gdesc) values (1, 'Admin'), (2, 'Works')"));
    addMember(db, 1, QStringLiteral("Carol"), QString(), QStringLiteral("S3"));
    addMember(db, 1, QStringLiteral("alice"), QString(), QStringLiteral("S9"));
    addMember(db, 1, QStringLiteral("Bob"), QString(), QStringLiteral("S1"));
    addMember(db, 2, QStringLiteral("Dan"), QString(), QStringLiteral("S4"));
}

bool showWindow(MainWindowFixture& f)
{
    f.w->show();
    return QTest::qWaitForWindowExposed(f.w.get());
}

void clickRow(MainWindowFixture& f, int row)
{
    const QModelIndex index = f.w->dbgInfo->model()->index(row, 1);
    QTest::mouseClick(f.w->dbgInfo->viewport(), Qt::LeftButton, {},
                      f.w->dbgInfo->visualRect(index).center());
}

void typeInto(QLineEdit* field, const QString& text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

QStringList names(data::Query& q)
{
    QStringList result;
    for (q.first(); !q.eof(); q.next())
        result << q.asString(QStringLiteral("name"));
    return result;
}

} // namespace

class LazyStartupTest : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::Australia)); }

    void onlyTheChosenGroupIsReadBeforeTheWindowShows()
    {
        MainWindowFixture f(staffOfTwoGroups);
        QVERIFY(showWindow(f));
        QVERIFY(f.dsrc.QGroup.isOpen());
        QVERIFY(f.dsrc.QStaff.isOpen());
        QVERIFY(!f.dsrc.QList.isOpen());
        QVERIFY(!f.dsrc.QAllStaff.isOpen());
        QCOMPARE(names(f.dsrc.QStaff), (QStringList {"alice", "Bob", "Carol"}));
        // The count covers every group, without the members being read.
        QCOMPARE(f.w->sbPanel[0]->text(), QStringLiteral("Total Staffs=4"));
        QCOMPARE(f.w->sbPanel[2]->text(), QStringLiteral("Group Members=3"));
        QVERIFY(f.answers.shown().empty());
    }

    void eachCommandOpensTheRowsItNeeds()
    {
        MainWindowFixture f(staffOfTwoGroups);
        QVERIFY(showWindow(f));

        // Preview: QList holds the member shown, only while the preview runs.
        QStringList previewed;
        f.answers.onPreview = [&](const data::Answers::Render&) {
            previewed = names(f.dsrc.QList);
            QVERIFY(f.dsrc.QList.isOpen());
        };
        clickRow(f, 1);
        QCOMPARE(f.w->eName->text(), QStringLiteral("Bob"));
        QTest::mouseClick(f.w->bPreview, Qt::LeftButton);
        QCOMPARE(previewed, QStringList {"Bob"});
        QVERIFY(!f.dsrc.QList.isOpen());

        // Save looks the name up among all members: one of another group is overwritten
        // there, and the window moves to that group.
        typeInto(f.w->eName, QStringLiteral("Dan"));
        typeInto(f.w->ePost, QStringLiteral("Driver"));
        f.answers.confirmWith(true);
        QTest::mouseClick(f.w->bSave, Qt::LeftButton);
        QCOMPARE(f.answers.questions().last(), QStringLiteral("Overwrite the record?"));
        QCOMPARE(f.count(QStringLiteral("name = 'Dan' and gid = 2 and post = 'Driver'")), 1);
        QCOMPARE(f.w->lstGroup->currentText(), QStringLiteral("Works"));
        QCOMPARE(f.listed(), QStringList {"Dan"});
        QVERIFY(!f.dsrc.QAllStaff.isOpen());

        // A new name is added to the group shown and counted.
        typeInto(f.w->eName, QStringLiteral("Eve"));
        QTest::mouseClick(f.w->bSave, Qt::LeftButton);
        QCOMPARE(f.listed(), (QStringList {"Dan", "Eve"}));
        QCOMPARE(f.w->sbPanel[0]->text(), QStringLiteral("Total Staffs=5"));
        QVERIFY(!f.dsrc.QAllStaff.isOpen());

        // The search reads across groups.
        typeInto(f.w->eFind, QStringLiteral("a"));
        QTRY_COMPARE(f.listed(), (QStringList {"alice", "Carol", "Dan"}));
        QVERIFY(!f.dsrc.QAllStaff.isOpen());
        QCOMPARE(f.answers.texts(), QStringList {});
    }
};

QTEST_MAIN(LazyStartupTest)
#include "LazyStartupTest.moc"
