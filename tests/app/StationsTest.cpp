// The main window beside other stations on one database: the list read again with F5 and
// when the window comes back from another program, and the database chosen at start or with
// Open Database. Another station here is a connection of the test's own.
#include "MainWindowFixture.h"
#include "data/Connection.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QTableView>
#include <QTest>
#include <QWindow>

using app::TMelbrin;

namespace {

QSettings settings()
{
    return QSettings(QStringLiteral("Tavrik"), QStringLiteral("Melbrin"));
}

// Sixty members of "Admin" (M00 to M59), so that the grid scrolls.
void sixtyMembers(TempDatabase& db)
{
    QStringList rows;
    for (int i = 0; i < 60; ++i)
        rows << QStringLiteral("(1, 0, 'M%1', '5/03/2004', '5/03/2009')")
                    .arg(i, 2, 10, QLatin1Char('0'));
    db.exec(QStringLiteral("insert into grptbl (gid, gdesc) values (1, 'Admin');"
                           "insert into stafftbl (gid, cardno, name, datejoin, expiry) values ")
            + rows.join(u','));
}

void chooseGroup(MainWindowFixture& f, const QString& name)
{
    f.w->lstGroup->setCurrentIndex(f.w->lstGroup->findText(name));
    emit f.w->lstGroup->activated(f.w->lstGroup->currentIndex());
}

// Another program takes the focus: a window that is none of this program's widgets.
struct OtherProgram
{
    QWindow window;
    bool activate()
    {
        window.resize(80, 60);
        window.show();
        window.requestActivate();
        return QTest::qWaitForWindowActive(&window);
    }
};

QString current(const MainWindowFixture& f)
{
    const QModelIndex index = f.w->dbgInfo->currentIndex();
    return index.isValid() ? index.siblingAtColumn(1).data().toString() : QString();
}

} // namespace

class StationsTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { settings().clear(); }

    // F5, and Refresh in the View menu by its access keys, show what another station
    // added, keeping the group, the current member and the scroll place.
    void refreshShowsWhatOthersAdded()
    {
        MainWindowFixture f(sixtyMembers);
        QVERIFY(f.showActive());
        chooseGroup(f, QStringLiteral("Admin"));
        f.w->dbgInfo->setFocus();
        QTest::keyClick(f.w->dbgInfo, Qt::Key_End);
        for (int i = 0; i < 15; ++i)
            QTest::keyClick(f.w->dbgInfo, Qt::Key_Up);
        QCOMPARE(current(f), QStringLiteral("M44"));
        QCOMPARE(f.w->eName->text(), QStringLiteral("M44"));
        const int scroll = f.w->dbgInfo->verticalScrollBar()->value();
        QVERIFY(scroll > 0);

        addMember(f.db, 1, QStringLiteral("M44a"));
        f.db.exec(QStringLiteral("update stafftbl set post = 'Clerk' where name = 'M44'"));
        f.db.exec(QStringLiteral("insert into grptbl (gid, gdesc) values (2, 'Works')"));
        QCOMPARE(f.listed().size(), 60);
        f.press(Qt::Key_F5);
        QCOMPARE(f.listed().size(), 61);
        QVERIFY(f.listed().contains(QStringLiteral("M44a")));
        QCOMPARE(f.w->lstGroup->currentText(), QStringLiteral("Admin"));
        QVERIFY(f.w->lstGroup->findText(QStringLiteral("Works")) >= 0);
        QCOMPARE(current(f), QStringLiteral("M44"));
        QCOMPARE(f.w->ePost->text(), QStringLiteral("Clerk")); // the panel shows it again
        QCOMPARE(f.w->dbgInfo->verticalScrollBar()->value(), scroll);
        QCOMPARE(f.w->sbPanel[2]->text(), QStringLiteral("Group Members=61"));

        // The menu bar's View, Refresh.
        QCOMPARE(f.w->actRefresh->shortcut(), QKeySequence(Qt::Key_F5));
        QCOMPARE(f.w->mnuView->menuAction()->text(), QStringLiteral("&View"));
        QCOMPARE(f.w->actRefresh->text(), QStringLiteral("&Refresh"));
        f.db.exec(QStringLiteral("delete from stafftbl where name = 'M44'"));
        f.press(Qt::Key_V, Qt::AltModifier);
        QTRY_VERIFY(f.w->mnuView->isVisible());
        QTest::keyClick(f.w->mnuView, Qt::Key_R);
        QTRY_COMPARE(f.listed().size(), 60);
        // The member gone, the one after it takes its place.
        QCOMPARE(current(f), QStringLiteral("M44a"));
        QVERIFY(f.answers.shown().empty());
    }

    // What the user typed in the panel stays through F5, with the list read again.
    void refreshKeepsTyping()
    {
        MainWindowFixture f(sixtyMembers);
        QVERIFY(f.showActive());
        chooseGroup(f, QStringLiteral("Admin"));
        f.w->eRemark->setFocus();
        QTest::keyClicks(f.w->eRemark, QStringLiteral("left early"));
        addMember(f.db, 1, QStringLiteral("Zed"));
        f.press(Qt::Key_F5);
        QVERIFY(f.listed().contains(QStringLiteral("Zed")));
        QCOMPARE(f.w->eRemark->text(), QStringLiteral("left early"));
        QCOMPARE(f.w->eName->text(), QStringLiteral("M00"));
    }

    // Back from another program, the window reads the list again; not back from one of its
    // own windows, and not while something typed in the panel waits to be saved.
    void comingBackReadsTheListAgain()
    {
        MainWindowFixture f(sixtyMembers);
        QVERIFY(f.showActive());
        chooseGroup(f, QStringLiteral("Admin"));
        QCOMPARE(f.listed().size(), 60);

        OtherProgram other;
        QVERIFY(other.activate());
        addMember(f.db, 1, QStringLiteral("Abe"));
        QVERIFY(f.showActive());
        QTRY_VERIFY(f.listed().contains(QStringLiteral("Abe")));
        QCOMPARE(f.w->lstGroup->currentText(), QStringLiteral("Admin"));
        QCOMPARE(current(f), QStringLiteral("M00")); // the member shown stays current

        // A window of this program's own.
        QWidget own;
        own.resize(80, 60);
        own.show();
        own.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&own));
        addMember(f.db, 1, QStringLiteral("Bea"));
        QVERIFY(f.showActive());
        QTest::qWait(50);
        QVERIFY(!f.listed().contains(QStringLiteral("Bea")));
        own.hide();

        // Typing in the panel.
        f.w->eName->setFocus();
        QTest::keyClick(f.w->eName, Qt::Key_End);
        QTest::keyClicks(f.w->eName, QStringLiteral("x"));
        QVERIFY(other.activate());
        addMember(f.db, 1, QStringLiteral("Cal"));
        QVERIFY(f.showActive());
        QTest::qWait(50);
        QVERIFY(!f.listed().contains(QStringLiteral("Cal")));
        QCOMPARE(f.w->eName->text(), QStringLiteral("M00x"));
        // Once the panel shows a member again, the next return reads it.
        QTest::mouseClick(f.w->bClear, Qt::LeftButton);
        QVERIFY(other.activate());
        QVERIFY(f.showActive());
        QTRY_VERIFY(f.listed().contains(QStringLiteral("Cal")));
        QVERIFY(f.listed().contains(QStringLiteral("Bea")));
        QCOMPARE(f.w->eName->text(), QString()); // the cleared panel stays cleared
        QVERIFY(f.answers.shown().empty());
    }

    // Open Database in the File menu (Ctrl+O) opens a file named in its box and remembers
    // it; the status bar names it. What cannot be opened keeps the open database and the
    // remembered one.
    void openDatabaseSwitchesAndRemembers()
    {
        MainWindowFixture f;
        TempDatabase branch;
        branch.exec(QStringLiteral("insert into grptbl (gid, gdesc) values (7, 'Branch')"));
        const QString branchFile = branch.dir() + QStringLiteral("/branch.mdb");
        QVERIFY(QFile::copy(branch.path(), branchFile));
        QFile junk(branch.dir() + QStringLiteral("/junk.mdb"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(8192, 'x'));
        junk.close();
        QVERIFY(f.showActive());
        QCOMPARE(f.w->sbDatabase->text(), QStringLiteral("cardinfo.mdb"));
        QCOMPARE(f.w->actOpenDatabase->text(), QStringLiteral("&Open Database..."));

        f.answers.enter(branchFile);
        f.press(Qt::Key_O, Qt::ControlModifier);
        QVERIFY(f.answers.allAnswered());
        QVERIFY(f.answers.shown().empty());
        QCOMPARE(f.dsrc.src.fileName(), branchFile);
        QCOMPARE(f.w->FDatabasePath(), branchFile);
        QVERIFY(f.w->lstGroup->findText(QStringLiteral("Branch")) >= 0);
        QCOMPARE(f.w->sbDatabase->text(), QStringLiteral("branch.mdb"));
        QCOMPARE(TMelbrin::rememberedDatabase(), branchFile);

        struct Bad
        {
            QString source;
            QString reasonPart;
            bool asksPassword; // the file may have a password of its own
        };
        const Bad bad[] = {
            {junk.fileName(), QStringLiteral("junk.mdb"), true},
            {branch.dir() + QStringLiteral("/none.mdb"), QStringLiteral("none.mdb"), false},
            {QStringLiteral("postgresql://nobody@127.0.0.1:1/none"), QStringLiteral("127.0.0.1"),
             false},
        };
        for (const Bad& b : bad) {
            f.answers.clear();
            f.answers.enter(b.source);
            if (b.asksPassword)
                f.answers.givePassphrase(std::nullopt);
            f.w->actOpenDatabase->trigger();
            QVERIFY(f.answers.allAnswered());
            QCOMPARE(f.answers.shown().size(), size_t(1));
            QVERIFY2(f.answers.shown().front().text.contains(b.reasonPart),
                     qPrintable(f.answers.shown().front().text));
            QCOMPARE(f.dsrc.src.fileName(), branchFile);
            QVERIFY(f.dsrc.QStaff.isOpen());
            QVERIFY(f.w->lstGroup->findText(QStringLiteral("Branch")) >= 0);
            QCOMPARE(f.w->sbDatabase->text(), QStringLiteral("branch.mdb"));
            QCOMPARE(TMelbrin::rememberedDatabase(), branchFile);
        }
        // Cancelled, nothing changes.
        f.answers.clear();
        f.answers.enter(std::nullopt);
        f.w->actOpenDatabase->trigger();
        QVERIFY(f.answers.shown().empty());
        QCOMPARE(f.dsrc.src.fileName(), branchFile);
    }

    // At start: the database given wins, else the remembered one.
    void startsOnTheRememberedDatabase()
    {
        TempDatabase given, remembered;
        remembered.exec(QStringLiteral("insert into grptbl (gid, gdesc) values (3, 'Kept')"));
        TMelbrin::rememberDatabase(remembered.path());
        ScriptedAnswers answers;
        {
            data::Tdsrc dsrc;
            TMelbrin w(dsrc);
            QCOMPARE(dsrc.src.fileName(), remembered.path());
            QVERIFY(w.lstGroup->findText(QStringLiteral("Kept")) >= 0);
        }
        {
            data::Tdsrc dsrc;
            TMelbrin w(dsrc, given.path());
            QCOMPARE(dsrc.src.fileName(), given.path());
            QCOMPARE(TMelbrin::rememberedDatabase(), remembered.path());
        }
        QVERIFY(answers.shown().empty());
    }

    void addressesLoseTheirPasswords_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("kept");
        QTest::newRow("file") << "/home/a:b@c/cardinfo.mdb"
                              << "/home/a:b@c/cardinfo.mdb";
        QTest::newRow("plain") << "postgresql://clerk@db.example:5432/staff"
                               << "postgresql://clerk@db.example:5432/staff";
        QTest::newRow("user and password")
            << "postgresql://clerk:s3cr:et@db.example/staff?sslmode=verify-full"
            << "postgresql://clerk@db.example/staff?sslmode=verify-full";
        QTest::newRow("password parameter")
            << "postgres://db.example/staff?password=s3cret&sslmode=require&PASSWORD=x"
            << "postgres://db.example/staff?sslmode=require";
        QTest::newRow("only a password parameter") << "postgresql://h/staff?password=s3cret"
                                                   << "postgresql://h/staff";
        QTest::newRow("at sign in the path") << "postgresql://h:5432/st@ff"
                                             << "postgresql://h:5432/st@ff";
    }
    void addressesLoseTheirPasswords()
    {
        QFETCH(QString, source);
        QFETCH(QString, kept);
        QCOMPARE(TMelbrin::withoutPassword(source), kept);
        TMelbrin::rememberDatabase(source);
        QCOMPARE(TMelbrin::rememberedDatabase(), kept);
    }
};

QTEST_MAIN(StationsTest)
#include "StationsTest.moc"
