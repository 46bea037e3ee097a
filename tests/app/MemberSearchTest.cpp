// The search box above the member list: typing lists the members of every group that match,
// with their groups; the list's commands act on what it shows; Esc goes back to the group.
#include "MainWindowFixture.h"
#include "app/MemberGridModel.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

void staffOfThreeGroups(TempDatabase& db)
{
    db.exec(QStringLiteral("insert into grptbl (gid, gdesc) values (1, 'Admin')"));
    db.exec(QStringLiteral("insert into grptbl (gid, gdesc) values (2, 'Works')"));
    addMember(db, 1, QStringLiteral("Ann Lee"), QStringLiteral("李安"), QStringLiteral("S100"));
    addMember(db, 1, QStringLiteral("Bob Chan"), QStringLiteral("陳大文"), QStringLiteral("S200"));
    addMember(db, 1, QStringLiteral("Émile Roux"), QString(), QStringLiteral("S3_0"));
    addMember(db, 2, QStringLiteral("Dan Ho"), QStringLiteral("何安"), QStringLiteral("W100"));
    addMember(db, 2, QStringLiteral("ÉMILE BLANC"), QString(), QStringLiteral("W200"));
    addMember(db, 0, QStringLiteral("Eve"), QString(), QStringLiteral("X1"));
}

// Types text as a keyboard does (a key with its text, é too), and Chinese as an input
// method hands it over.
void type(QWidget* widget, const QString& text)
{
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80) {
            QTest::keyClick(widget, char(ch.unicode()));
        } else if (ch.unicode() < 0x100) {
            QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(ch), {});
            QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(ch), {});
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(ch);
            QApplication::sendEvent(widget, &commit);
        }
    }
}

// Types text into the search box, replacing what it held, and waits for the list.
void search(MainWindowFixture& f, const QString& text)
{
    f.w->eFind->setFocus();
    f.w->eFind->selectAll();
    type(f.w->eFind, text);
    QTRY_COMPARE(f.w->findText(), text);
}

// The group column of the grid, row by row.
QStringList groupsListed(const MainWindowFixture& f)
{
    QStringList groups;
    const QAbstractItemModel* m = f.w->dbgInfo->model();
    for (int r = 0; r < m->rowCount(); ++r)
        groups << m->index(r, 3).data().toString();
    return groups;
}

void clickRow(MainWindowFixture& f, const QString& name)
{
    const int row = int(f.listed().indexOf(name));
    QVERIFY2(row >= 0, qPrintable(name));
    const QRect cell = f.w->dbgInfo->visualRect(f.w->dbgInfo->model()->index(row, 1));
    QTest::mouseClick(f.w->dbgInfo->viewport(), Qt::LeftButton, {}, cell.center());
}

void click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

// The group list as the keyboard walks it.
void chooseGroup(MainWindowFixture& f, const QString& name)
{
    f.w->lstGroup->setFocus();
    QTest::keyClick(f.w->lstGroup, Qt::Key_Home);
    for (int i = 0; i < f.w->lstGroup->count() && f.w->lstGroup->currentText() != name; ++i)
        QTest::keyClick(f.w->lstGroup, Qt::Key_Down);
    QCOMPARE(f.w->lstGroup->currentText(), name);
}

QString stored(const MainWindowFixture& f, const char* column, const QString& name)
{
    return f.db
        .scalar(QStringLiteral("select %1 from stafftbl where name = '%2'")
                    .arg(QLatin1String(column), name))
        .toString();
}

} // namespace

class MemberSearchTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::Australia)); }

    void typingListsEveryGroupWithTheGroupColumn()
    {
        MainWindowFixture f(staffOfThreeGroups);
        QVERIFY(f.showActive());
        chooseGroup(f, QStringLiteral("Admin"));
        QCOMPARE(f.w->dbgInfo->model()->columnCount(), 3);
        QHeaderView* header = f.w->dbgInfo->horizontalHeader();
        const int nameWidth = header->sectionSize(1);

        // letter case beyond A to Z, Chinese by characters, staff no, a wildcard as itself
        const struct
        {
            QString text;
            QStringList names;
            QStringList groups;
        } cases[] = {
            {QStringLiteral("émile"), {"ÉMILE BLANC", "Émile Roux"}, {"Works", "Admin"}},
            {QStringLiteral("安"), {"Ann Lee", "Dan Ho"}, {"Admin", "Works"}},
            {QStringLiteral("w1"), {"Dan Ho"}, {"Works"}},
            {QStringLiteral("s3_"), {"Émile Roux"}, {"Admin"}},
            {QStringLiteral("_"), {"Émile Roux"}, {"Admin"}},
            {QStringLiteral("Zed"), {}, {}},
        };
        for (const auto& c : cases) {
            search(f, c.text);
            QCOMPARE(f.listed(), c.names);
            QCOMPARE(f.w->dbgInfo->model()->columnCount(), 4);
            QCOMPARE(f.w->dbgInfo->model()->headerData(3, Qt::Horizontal).toString(),
                     QStringLiteral("Group"));
            QCOMPARE(groupsListed(f), c.groups);
            QCOMPARE(f.w->sbPanel[2]->text(), QStringLiteral("Found=%1").arg(c.names.size()));
            // all four columns within the grid's width
            QVERIFY(header->sectionViewportPosition(3) + header->sectionSize(3)
                    <= f.w->dbgInfo->viewport()->width());
        }

        // the group column sorts by group; back in the group the order is by name again
        search(f, QStringLiteral("e"));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(3) + 5, header->height() / 2));
        QCOMPARE(groupsListed(f), (QStringList {"Admin", "Admin", "DEFAULT", "Works"}));
        QCOMPARE(f.listed(), (QStringList {"Ann Lee", "Émile Roux", "Eve", "ÉMILE BLANC"}));
        // Backspace to an empty box goes back to the chosen group
        f.w->eFind->setFocus();
        QTest::keyClick(f.w->eFind, Qt::Key_Backspace);
        QVERIFY(!f.w->searching());
        QCOMPARE(f.w->dbgInfo->model()->columnCount(), 3);
        QCOMPARE(f.listed(), (QStringList {"Ann Lee", "Bob Chan", "Émile Roux"}));
        QCOMPARE(f.w->sbPanel[2]->text(), QStringLiteral("Group Members=3"));
        QCOMPARE(f.w->FSortField(), QStringLiteral("name"));
        QCOMPARE(header->sectionSize(1), nameWidth);
    }

    void enterAndClickShowTheMemberEscGoesBack()
    {
        MainWindowFixture f(staffOfThreeGroups);
        QVERIFY(f.showActive());
        chooseGroup(f, QStringLiteral("Admin"));
        clickRow(f, QStringLiteral("Bob Chan"));
        QCOMPARE(f.w->eName->text(), QStringLiteral("Bob Chan"));

        // the member shown stays while the search finds it; otherwise the first found shows
        search(f, QStringLiteral("an"));
        QCOMPARE(f.listed(), (QStringList {"Ann Lee", "Bob Chan", "Dan Ho", "ÉMILE BLANC"}));
        QCOMPARE(f.w->dbgInfo->currentIndex().row(), 1);
        QCOMPARE(f.w->eName->text(), QStringLiteral("Bob Chan"));
        search(f, QStringLiteral("安"));
        QCOMPARE(f.w->eName->text(), QStringLiteral("Ann Lee"));
        QCOMPARE(f.w->dbgInfo->currentIndex().row(), 0);
        clickRow(f, QStringLiteral("Dan Ho"));
        f.w->eFind->setFocus();
        f.press(Qt::Key_Return);
        QCOMPARE(f.w->eName->text(), QStringLiteral("Dan Ho"));
        QCOMPARE(focusedName(), QStringLiteral("dbgInfo"));
        f.press(Qt::Key_Up);
        QCOMPARE(f.w->eName->text(), QStringLiteral("Ann Lee"));
        f.press(Qt::Key_Down);
        QCOMPARE(f.w->eName->text(), QStringLiteral("Dan Ho"));
        clickRow(f, QStringLiteral("Ann Lee"));
        QCOMPARE(f.w->eName->text(), QStringLiteral("Ann Lee"));
        QCOMPARE(f.w->eCname->text(), QStringLiteral("李安"));

        // Esc in the grid of results: the group as it was, with its member
        f.press(Qt::Key_Escape);
        QVERIFY(!f.w->searching());
        QVERIFY(f.w->eFind->text().isEmpty());
        QCOMPARE(f.w->lstGroup->currentText(), QStringLiteral("Admin"));
        QCOMPARE(f.listed(), (QStringList {"Ann Lee", "Bob Chan", "Émile Roux"}));
        QCOMPARE(f.w->dbgInfo->currentIndex().row(), 1);
        QCOMPARE(f.w->eName->text(), QStringLiteral("Bob Chan"));

        // Esc in the box, and choosing a group, end a search too
        search(f, QStringLiteral("ho"));
        QCOMPARE(f.listed(), (QStringList {"Dan Ho"}));
        f.press(Qt::Key_Escape);
        QCOMPARE(f.listed(), (QStringList {"Ann Lee", "Bob Chan", "Émile Roux"}));
        search(f, QStringLiteral("ho"));
        chooseGroup(f, QStringLiteral("Works"));
        QVERIFY(f.w->eFind->text().isEmpty());
        QCOMPARE(f.listed(), (QStringList {"Dan Ho", "ÉMILE BLANC"}));
        QCOMPARE(f.w->dbgInfo->model()->columnCount(), 3);
    }

    void savingFromResultsKeepsTheGroupAndSearchesAgain()
    {
        MainWindowFixture f(staffOfThreeGroups);
        QVERIFY(f.showActive());
        chooseGroup(f, QStringLiteral("Works"));
        search(f, QStringLiteral("s3"));
        clickRow(f, QStringLiteral("Émile Roux"));
        f.w->ePost->setFocus();
        QTest::keyClicks(f.w->ePost, QStringLiteral("Clerk"));
        f.answers.confirmWith(true); // overwrite
        click(f.w->bSave);
        QCOMPARE(stored(f, "post", QStringLiteral("Émile Roux")), QStringLiteral("Clerk"));
        QCOMPARE(stored(f, "gid", QStringLiteral("Émile Roux")), QStringLiteral("1"));
        QCOMPARE(f.w->lstGroup->currentText(), QStringLiteral("Works"));
        QCOMPARE(f.listed(), (QStringList {"Émile Roux"}));
        QCOMPARE(f.w->eName->text(), QStringLiteral("Émile Roux"));

        // a staff no the search no longer finds: the list is run again and empties
        f.w->eStaffNo->setFocus();
        f.w->eStaffNo->selectAll();
        QTest::keyClicks(f.w->eStaffNo, QStringLiteral("T300"));
        f.answers.confirmWith(true);
        click(f.w->bSave);
        QCOMPARE(stored(f, "staffno", QStringLiteral("Émile Roux")), QStringLiteral("T300"));
        QVERIFY(f.listed().isEmpty());
        QVERIFY(f.w->eName->text().isEmpty());

        // a new member joins the chosen group and is listed when the search finds it
        f.w->eName->setFocus();
        QTest::keyClicks(f.w->eName, QStringLiteral("Sam S3"));
        click(f.w->bSave);
        QCOMPARE(stored(f, "gid", QStringLiteral("Sam S3")), QStringLiteral("2"));
        QCOMPARE(f.listed(), (QStringList {"Sam S3"}));
        QVERIFY(f.answers.allAnswered());
        f.w->eFind->setFocus();
        f.press(Qt::Key_Escape);
        QCOMPARE(f.listed(), (QStringList {"Dan Ho", "Sam S3", "ÉMILE BLANC"}));
    }

    void deletingAndMovingFromResults()
    {
        MainWindowFixture f(staffOfThreeGroups);
        QVERIFY(f.showActive());
        chooseGroup(f, QStringLiteral("Admin"));

        // the Delete key on a result deletes that member only
        search(f, QStringLiteral("安"));
        clickRow(f, QStringLiteral("Dan Ho"));
        f.answers.confirmWith(true);
        f.press(Qt::Key_Delete);
        QCOMPARE(f.count(QStringLiteral("name = 'Dan Ho'")), 0);
        QCOMPARE(f.listed(), (QStringList {"Ann Lee"}));
        QCOMPARE(f.w->eName->text(), QStringLiteral("Ann Lee"));

        // moving a result to another group: it stays listed, now in that group
        QTableView* grid = f.w->dbgInfo;
        const QPoint at = grid->visualRect(grid->model()->index(0, 1)).center();
        QContextMenuEvent menu(QContextMenuEvent::Mouse, at, grid->viewport()->mapToGlobal(at));
        QApplication::sendEvent(grid->viewport(), &menu);
        QTRY_VERIFY(f.w->puMenu->isVisible());
        QAction* works = nullptr;
        for (QAction* a : f.w->puMenu->actions())
            if (a->text() == u"Works")
                works = a;
        QVERIFY(works);
        QTest::mouseClick(f.w->puMenu, Qt::LeftButton, {},
                          f.w->puMenu->actionGeometry(works).center());
        QTRY_COMPARE(stored(f, "gid", QStringLiteral("Ann Lee")), QStringLiteral("2"));
        QCOMPARE(f.listed(), (QStringList {"Ann Lee"}));
        QCOMPARE(groupsListed(f), (QStringList {"Works"}));

        // Delete All deletes what is listed, after saying how many in how many groups
        search(f, QStringLiteral("émile"));
        f.answers.confirmWith(false);
        click(f.w->bDelAll);
        QCOMPARE(f.answers.questions().last(),
                 QStringLiteral("Delete the 2 members found for \"émile\" in 2 groups? Members "
                                "of these groups that are not listed stay."));
        QCOMPARE(f.count(QStringLiteral("1")), 5);
        f.answers.confirmWith(true);
        click(f.w->bDelAll);
        QVERIFY(f.listed().isEmpty());
        QCOMPARE(f.count(QStringLiteral("1")), 3);
        QCOMPARE(f.count(QStringLiteral("name in ('Bob Chan', 'Ann Lee', 'Eve')")), 3);
    }

    void removingTheGroupWhileSearchingMovesAllItsMembers()
    {
        MainWindowFixture f(staffOfThreeGroups);
        QVERIFY(f.showActive());
        chooseGroup(f, QStringLiteral("Admin"));
        search(f, QStringLiteral("ann"));
        QCOMPARE(f.listed(), (QStringList {"Ann Lee"}));
        f.answers.confirmWith(true);
        click(f.w->bRemove);
        QCOMPARE(f.count(QStringLiteral("gid = 0")), 4); // Eve and all three of Admin
        QVERIFY(!f.w->searching());
    }

    void theBoxIsReachedByTabAndItsKeys()
    {
        MainWindowFixture f(staffOfThreeGroups);
        QVERIFY(f.showActive());
        f.w->bRemove->setFocus();
        f.press(Qt::Key_Tab);
        QCOMPARE(focusedName(), QStringLiteral("eFind"));
        f.press(Qt::Key_Tab);
        QCOMPARE(focusedName(), QStringLiteral("dbgInfo"));
        f.press(Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(focusedName(), QStringLiteral("eFind"));

        for (const QKeyCombination key : {Qt::CTRL | Qt::Key_F, Qt::ALT | Qt::Key_F}) {
            f.w->eName->setFocus();
            f.press(key.key(), key.keyboardModifiers());
            QCOMPARE(focusedName(), QStringLiteral("eFind"));
        }
        QCOMPARE(f.w->lFind->text(), QStringLiteral("&Find"));
    }
};

QTEST_MAIN(MemberSearchTest)
#include "MemberSearchTest.moc"
