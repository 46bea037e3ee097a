// The group list's "Cards to reprint": members whose card data changed since their card was
// last printed, following Save, the preview's Print, and keeping every group as it was.
#include "MainWindowFixture.h"
#include "cards/print/PrintPreviewWindow.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

namespace {

void staffOfTwoGroups(TempDatabase& db)
{
    db.exec("insert into grptbl (gid, gdesc) values (1, 'Admin')");
    db.exec("insert into grptbl (gid, gdesc) values (2, 'Works')");
    addMember(db, 1, QStringLiteral("Ann"));
    addMember(db, 1, QStringLiteral("Bob"));
    addMember(db, 2, QStringLiteral("Dan"));
}

void click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

void clickRow(MainWindowFixture& f, const QString& name)
{
    const int row = int(f.listed().indexOf(name));
    QVERIFY2(row >= 0, qPrintable(name));
    const QModelIndex index = f.w->dbgInfo->model()->index(row, 1);
    QTest::mouseClick(f.w->dbgInfo->viewport(), Qt::LeftButton, {},
                      f.w->dbgInfo->visualRect(index).center());
}

// Home and End in the group list: the first group, and the reprint list that closes it.
void chooseGroup(MainWindowFixture& f, Qt::Key key)
{
    f.w->lstGroup->setFocus();
    QTest::keyClick(f.w->lstGroup, key);
}

// The details panel's Preview opens the real print preview, where Print is clicked with no
// printer installed: the file dialog answers with pdf (empty: cancelled).
void previewAndPrint(MainWindowFixture& f, const QString& pdf)
{
    f.answers.chooseFile(pdf.isEmpty() ? std::nullopt : std::optional<QString>(pdf));
    f.answers.onPreview = [](const data::Answers::Render& render) {
        QTimer::singleShot(0, [] {
            QWidget* window = QApplication::activeModalWidget();
            QVERIFY(qobject_cast<cards::PrintPreviewWindow*>(window));
            auto* print = window->findChild<QAction*>(QStringLiteral("Print..."));
            QWidget* button = window->findChild<QToolBar*>()->widgetForAction(print);
            click(button);
            window->close();
        });
        cards::showPrintPreview(nullptr, render);
    };
    click(f.w->bPreview);
    f.answers.onPreview = nullptr;
}

} // namespace

class ReprintListTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::Australia)); }

    void listFollowsSaveAndPrint()
    {
        QVERIFY2(qEnvironmentVariableIsSet("CUPS_SERVER"), "no printers: CTest sets CUPS_SERVER");
        MainWindowFixture f(staffOfTwoGroups);
        f.w->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.w.get()));
        const int last = f.w->lstGroup->count() - 1;
        QCOMPARE(f.w->lstGroup->itemText(last), QStringLiteral("Cards to reprint"));

        // Members the file had before have no times: nobody is listed.
        chooseGroup(f, Qt::Key_End);
        QVERIFY(f.w->showingReprints());
        QVERIFY(f.listed().isEmpty());

        // A Save that changes Bob lists him; one that changes nothing leaves Ann off.
        chooseGroup(f, Qt::Key_Home);
        QCOMPARE(f.listed(), (QStringList {"Ann", "Bob"}));
        clickRow(f, "Bob");
        QTest::keyClicks(f.w->ePost, QStringLiteral("Clerk"));
        f.answers.confirmWith(true);
        click(f.w->bSave);
        clickRow(f, "Ann");
        f.answers.confirmWith(true);
        click(f.w->bSave);
        QVERIFY(f.answers.allAnswered());
        QVERIFY(f.db.scalar("select changedutc from stafftbl where name='Ann'").isNull());
        chooseGroup(f, Qt::Key_End);
        QCOMPARE(f.listed(), QStringList {"Bob"});
        QCOMPARE(f.w->ePost->text(), QStringLiteral("Clerk"));

        // Saved from the reprint list, Bob stays in his group and on the list.
        QTest::keyClicks(f.w->eRemark, QStringLiteral("again"));
        f.answers.confirmWith(true);
        click(f.w->bSave);
        QVERIFY(f.w->showingReprints());
        QCOMPARE(f.listed(), QStringList {"Bob"});
        QCOMPARE(f.db.scalar("select gid || remark from stafftbl where name='Bob'").toString(),
                 QStringLiteral("1again"));

        // Print cancelled: still listed. Printed: off the list, with its time.
        const QTemporaryDir dir;
        previewAndPrint(f, QString());
        QCOMPARE(f.listed(), QStringList {"Bob"});
        QVERIFY(f.db.scalar("select printedutc from stafftbl where name='Bob'").isNull());
        previewAndPrint(f, dir.filePath("bob.pdf"));
        QVERIFY(QFileInfo::exists(dir.filePath("bob.pdf")));
        QVERIFY(f.listed().isEmpty());
        QVERIFY(
            f.db.scalar("select printedutc >= changedutc from stafftbl where name='Bob'").toBool());
        QVERIFY(f.db.scalar("select printedutc from stafftbl where name='Ann'").isNull());
        QCOMPARE(f.answers.texts(),
                 QStringList(2, "No printer is installed. The pages are saved as a PDF file."));
    }

    // On the reprint list a new member is refused (it has no group to go to), and the list
    // cannot be removed as a group; every member and group stays as it was.
    void groupsStayWhole()
    {
        MainWindowFixture f(staffOfTwoGroups);
        f.w->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.w.get()));
        chooseGroup(f, Qt::Key_End);
        QVERIFY(f.w->showingReprints());
        click(f.w->bClear);
        QTest::keyClicks(f.w->eName, QStringLiteral("Newcomer"));
        click(f.w->bSave);
        click(f.w->bRemove);
        QCOMPARE(f.answers.texts(),
                 (QStringList {"A new member is added to a group: choose the group first.",
                               "The cards to reprint are no group and cannot be deleted."}));
        QCOMPARE(f.count("1"), 3);
        QCOMPARE(f.count("gid not in (1, 2)"), 0);
        QCOMPARE(f.db.scalar("select count(*) from grptbl").toInt(), 3);
        QCOMPARE(f.w->lstGroup->count(), 4);
    }
};

QTEST_MAIN(ReprintListTest)
#include "ReprintListTest.moc"
