// The password of the database file in the main window: found at start and by Open Database
// (remembered on this computer, the default one, or asked for), and changed with File >
// Database Password. The passwords never reach the settings store.
#include "MainWindowFixture.h"
#include "MemoryKeyStore.h"
#include "data/Connection.h"
#include "data/DatabaseKey.h"
#include "data/KeyStore.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using app::TMelbrin;

namespace {

const QString own = QStringLiteral("Tea at 4, oolong?");
const QString other = QStringLiteral("second-k\u00e9y");

// The file's key becomes key, on a connection of its own.
void giveKey(const QString& path, const QString& key)
{
    data::rekeyDatabase(path, data::defaultKey(), key);
}

// What the settings store holds on disk: no password may be among it.
QByteArray settingsFile()
{
    QSettings s(QStringLiteral("Tavrik"), QStringLiteral("Melbrin"));
    s.sync();
    QFile f(s.fileName());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void verifyNowhereInSettings(const QStringList& secrets)
{
    const QByteArray stored = settingsFile();
    QVERIFY(!stored.isEmpty());
    for (const QString& secret : secrets)
        QVERIFY2(!stored.contains(secret.toUtf8()), qPrintable(secret));
}

// One group "Branch" (gid 5) with two members; the window shows the second.
void twoMembers(TempDatabase& db)
{
    db.exec(QStringLiteral("insert into grptbl (gid, gdesc) values (5, 'Branch')"));
    addMember(db, 5, QStringLiteral("Ann"));
    addMember(db, 5, QStringLiteral("Bob"));
}

void showSecondOfBranch(MainWindowFixture& f)
{
    f.w->lstGroup->setCurrentIndex(f.w->lstGroup->findText(QStringLiteral("Branch")));
    f.w->lstGroupClick();
    QTest::mouseClick(f.w->dbgInfo->viewport(), Qt::LeftButton, {},
                      f.w->dbgInfo->visualRect(f.w->dbgInfo->model()->index(1, 1)).center());
    QCOMPARE(f.w->eName->text(), QStringLiteral("Bob"));
}

// File > Database Password: the menu opened with the mouse, the command chosen with its key.
void chooseDatabasePassword(MainWindowFixture& f)
{
    QMenuBar* bar = f.w->menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {},
                      bar->actionGeometry(f.w->mnuFile->menuAction()).center());
    QTRY_VERIFY(f.w->mnuFile->isVisible());
    QTest::keyClick(f.w->mnuFile, Qt::Key_P);
    QTRY_VERIFY(!f.w->mnuFile->isVisible());
}

} // namespace

class DatabasePasswordTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { QSettings(QStringLiteral("Tavrik"), QStringLiteral("Melbrin")).clear(); }

    // Each answer: the text typed, "+" before it ticks Remember, "-" cancels.
    void startFindsTheKey_data()
    {
        QTest::addColumn<bool>("ownKey");
        QTest::addColumn<bool>("remembered");
        QTest::addColumn<bool>("storeAvailable");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<bool>("rememberedAfter");

        const QStringList none;
        QTest::newRow("default key") << false << false << true << none << true << false;
        QTest::newRow("remembered") << true << true << true << none << true << true;
        QTest::newRow("asked, remember ticked")
            << true << false << true << QStringList {"+" + own} << true << true;
        QTest::newRow("asked, not remembered")
            << true << false << true << QStringList {own} << true << false;
        QTest::newRow("no store to remember in")
            << true << false << false << QStringList {"+" + own} << true << false;
        QTest::newRow("wrong, empty, then right")
            << true << false << true << QStringList {"wrong", "", own} << true << false;
        QTest::newRow("wrong three times")
            << true << false << true << QStringList {"wrong", "+" + other, "Wrong"} << false
            << false;
        QTest::newRow("cancelled") << true << false << true << QStringList {"-"} << false << false;
    }

    void startFindsTheKey()
    {
        QFETCH(bool, ownKey);
        QFETCH(bool, remembered);
        QFETCH(bool, storeAvailable);
        QFETCH(QStringList, typed);
        QFETCH(bool, opens);
        QFETCH(bool, rememberedAfter);

        TempDatabase db;
        if (ownKey)
            giveKey(db.path(), own);
        MemoryKeyStore store(storeAvailable);
        // The store's entries are named by the absolute path, however the file was named.
        const QString name = data::keyStoreName(db.path());
        if (remembered)
            store.entries.insert(name, own);
        ScriptedAnswers answers;
        for (const QString& t : typed) {
            if (t == u"-")
                answers.givePassphrase(std::nullopt);
            else if (t.startsWith(u'+'))
                answers.givePassphrase(t.mid(1), true);
            else
                answers.givePassphrase(t);
        }
        {
            data::Tdsrc dsrc;
            TMelbrin w(dsrc, db.path());
            QVERIFY(answers.allAnswered());
            QCOMPARE(answers.questions().size(), typed.size());
            for (int i = 0; i < answers.questions().size(); ++i) {
                const QString& q = answers.questions().at(i);
                QVERIFY2(q.startsWith(QStringLiteral("passphrase Database Password: ")),
                         qPrintable(q));
                QVERIFY2(q.contains(QDir::toNativeSeparators(db.path())), qPrintable(q));
                // From the second question on, it says why the last answer failed.
                QCOMPARE(q.contains(QStringLiteral("The password")), i > 0);
            }
            if (!typed.isEmpty())
                QCOMPARE(answers.lastOfferRemember, storeAvailable);
            QCOMPARE(dsrc.src.isOpen(), opens);
            if (opens) {
                QVERIFY(answers.shown().empty());
                QCOMPARE(dsrc.key(), ownKey ? own : data::defaultKey());
                QCOMPARE(w.lstGroup->currentText(), QStringLiteral("DEFAULT"));
            } else {
                // The database that cannot be opened: the engine's reason, shown once, and
                // the window empty.
                QCOMPARE(answers.shown().size(), size_t(1));
                const QString text = answers.shown().front().text;
                QVERIFY2(text.startsWith(QStringLiteral("Cannot open '%1': ").arg(db.path())),
                         qPrintable(text));
                QVERIFY2(text.contains(QStringLiteral("not a database")), qPrintable(text));
                QVERIFY(!text.contains(own) && !text.contains(other));
                QVERIFY(!text.contains(QStringLiteral("wrong"), Qt::CaseInsensitive));
                QCOMPARE(w.lstGroup->count(), 0);
                QCOMPARE(w.dbgInfo->model()->rowCount(), 0);
            }
            QCOMPARE(store.entries.value(name), rememberedAfter ? own : QString());
            QCOMPARE(store.entries.size(), rememberedAfter ? 1 : 0);
            w.close();
        }
        verifyNowhereInSettings({own, other});
        // The file keeps its key.
        QVERIFY(data::keyOpens(db.path(), ownKey ? own : data::defaultKey()));
    }

    // A remembered password that no longer opens the file is forgotten when another one does.
    void aStaleRememberedPasswordIsReplaced()
    {
        TempDatabase db;
        giveKey(db.path(), own);
        MemoryKeyStore store;
        store.entries.insert(data::keyStoreName(db.path()), other);
        ScriptedAnswers answers;
        answers.givePassphrase(own, true);
        data::Tdsrc dsrc;
        TMelbrin w(dsrc, db.path());
        QVERIFY(answers.allAnswered());
        QVERIFY(dsrc.src.isOpen());
        QCOMPARE(store.entries.value(data::keyStoreName(db.path())), own);
    }

    // Open Database onto a file with a password of its own asks for it; the one open stays
    // open when it is not given, and the same file opens again without a question.
    void openDatabaseAsksForTheFilesPassword()
    {
        MainWindowFixture f;
        MemoryKeyStore store;
        TempDatabase keyed;
        keyed.exec(QStringLiteral("insert into grptbl (gid, gdesc) values (7, 'Keyed')"));
        giveKey(keyed.path(), own);
        QVERIFY(f.showActive());

        // Not given: the open database stays.
        f.answers.enter(keyed.path());
        f.answers.givePassphrase(std::nullopt);
        f.w->actOpenDatabase->trigger();
        QVERIFY(f.answers.allAnswered());
        QCOMPARE(f.answers.shown().size(), size_t(1));
        QVERIFY(f.answers.shown().front().text.contains(QStringLiteral("not a database")));
        QCOMPARE(f.dsrc.src.fileName(), f.db.path());
        QVERIFY(f.dsrc.QStaff.isOpen());
        QCOMPARE(TMelbrin::rememberedDatabase(), QString());

        f.answers.clear();
        f.answers.enter(keyed.path());
        f.answers.givePassphrase(QStringLiteral("wrong"));
        f.answers.givePassphrase(own);
        f.w->actOpenDatabase->trigger();
        QVERIFY(f.answers.allAnswered());
        QVERIFY2(f.answers.shown().empty(), qPrintable(f.answers.texts().join(u'|')));
        QCOMPARE(f.dsrc.src.fileName(), keyed.path());
        QCOMPARE(f.dsrc.key(), own);
        QVERIFY(f.w->lstGroup->findText(QStringLiteral("Keyed")) >= 0);
        QCOMPARE(TMelbrin::rememberedDatabase(), keyed.path());
        QVERIFY(store.entries.isEmpty());

        f.answers.clear();
        f.answers.enter(keyed.path());
        f.w->actOpenDatabase->trigger();
        QVERIFY(f.answers.allAnswered());
        QCOMPARE(f.answers.questions().size(), 1);
        QCOMPARE(f.dsrc.key(), own);

        // Back to the file with the default key, asked nothing.
        f.answers.clear();
        f.answers.enter(f.db.path());
        f.w->actOpenDatabase->trigger();
        QVERIFY(f.answers.allAnswered());
        QCOMPARE(f.dsrc.key(), data::defaultKey());
        f.w->close();
        verifyNowhereInSettings({own});
    }

    // Default -> own (remembered) -> another (not remembered) -> default, through the File
    // menu; the window stays on the group and member it showed.
    void changingThePasswordRoundTrip()
    {
        MainWindowFixture f(twoMembers);
        MemoryKeyStore store;
        const QString name = data::keyStoreName(f.db.path());
        QVERIFY(f.showActive());
        showSecondOfBranch(f);
        QCOMPARE(f.w->actDatabasePassword->text(), QStringLiteral("Database &Password..."));

        struct Step
        {
            std::optional<QString> typed;
            bool remember;
            QString key; // what opens the file afterwards
            QString stored; // what the store keeps for it
            QString shownPart; // of the message afterwards; empty for none
        };
        const Step steps[] = {
            {std::nullopt, true, data::defaultKey(), {}, {}},
            {own, true, own, own, QStringLiteral("now protected by this database's own password")},
            {own, true, own, own, QStringLiteral("still protected by this database's own")},
            {other, false, other, {}, QStringLiteral("now protected by this database's own")},
            {QString(),
             true,
             data::defaultKey(),
             {},
             QStringLiteral("now protected by the program's default password")},
            {QString(), false, data::defaultKey(), {}, QStringLiteral("still protected by the")},
        };
        for (const Step& step : steps) {
            const QString label = step.typed.value_or(QStringLiteral("(cancel)"));
            f.answers.clear();
            f.answers.giveNewPassphrase(step.typed, step.remember);
            chooseDatabasePassword(f);
            QTRY_VERIFY2(f.answers.allAnswered(), qPrintable(label));
            QCOMPARE(f.answers.questions(),
                     QStringList {QStringLiteral("new passphrase Database Password")});
            QVERIFY(f.answers.lastOfferRemember);
            QVERIFY2(data::keyOpens(f.db.path(), step.key), qPrintable(label));
            QCOMPARE(f.dsrc.key(), step.key);
            QCOMPARE(store.entries.value(name), step.stored);
            if (step.shownPart.isEmpty()) {
                QVERIFY(f.answers.shown().empty());
            } else {
                QCOMPARE(f.answers.shown().size(), size_t(1));
                QCOMPARE(f.answers.shown().front().icon, data::MessageIcon::Information);
                QVERIFY2(f.answers.shown().front().text.contains(step.shownPart),
                         qPrintable(f.answers.shown().front().text));
            }
            QCOMPARE(f.w->lstGroup->currentText(), QStringLiteral("Branch"));
            QCOMPARE(f.listed(), (QStringList {QStringLiteral("Ann"), QStringLiteral("Bob")}));
            QCOMPARE(f.w->eName->text(), QStringLiteral("Bob"));
            QCOMPARE(f.w->dbgInfo->currentIndex().row(), 1);
        }
        // What the file holds is all there, opened with the default key again.
        QCOMPARE(f.count(QStringLiteral("gid = 5")), 2);
        f.w->close();
        verifyNowhereInSettings({own, other});
    }

    // Typing in the panel stays while the password changes, and can be saved after.
    void typingInThePanelOutlivesTheChange()
    {
        MainWindowFixture f(twoMembers);
        MemoryKeyStore store;
        QVERIFY(f.showActive());
        showSecondOfBranch(f);
        f.w->eRemark->setFocus();
        QTest::keyClicks(f.w->eRemark, QStringLiteral("typed"));
        f.answers.giveNewPassphrase(own);
        f.w->actDatabasePassword->trigger();
        QVERIFY(f.answers.allAnswered());
        QCOMPARE(f.dsrc.key(), own);
        QCOMPARE(f.w->eRemark->text(), QStringLiteral("typed"));
        QCOMPARE(f.w->eName->text(), QStringLiteral("Bob"));
        f.answers.clear();
        f.answers.confirmWith(true); // the member is there: overwrite it
        f.w->bSave->click();
        QVERIFY(f.answers.allAnswered());
        QVERIFY2(f.answers.shown().empty(), qPrintable(f.answers.texts().join(u'|')));
        data::Connection c;
        c.setConnectionString(data::buildConnectionString(f.db.path(), own));
        c.open();
        data::Query q(c, QStringLiteral("check"));
        q.setSql(QStringLiteral("select remark from stafftbl where name = 'Bob'"));
        q.open();
        QCOMPARE(q.asString(QStringLiteral("remark")), QStringLiteral("typed"));
    }

    // A file another program holds locked keeps its password; the window goes on with it.
    void aFailedChangeKeepsThePassword()
    {
        MainWindowFixture f(twoMembers);
        MemoryKeyStore store;
        QVERIFY(f.showActive());
        showSecondOfBranch(f);
        data::Connection holder;
        openDatabase(holder, f.db.path());
        holder.execute(QStringLiteral("BEGIN IMMEDIATE"));

        f.answers.giveNewPassphrase(own, true);
        f.w->actDatabasePassword->trigger();
        QVERIFY(f.answers.allAnswered());
        QCOMPARE(f.answers.shown().size(), size_t(1));
        const QString text = f.answers.shown().front().text;
        QCOMPARE(f.answers.shown().front().icon, data::MessageIcon::Error);
        QVERIFY2(text.contains(QStringLiteral("was not changed")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("locked")), qPrintable(text));
        QVERIFY(!text.contains(own));
        QVERIFY(store.entries.isEmpty());
        QVERIFY(f.dsrc.src.isOpen());
        QCOMPARE(f.dsrc.key(), data::defaultKey());
        QCOMPARE(f.w->lstGroup->currentText(), QStringLiteral("Branch"));
        QCOMPARE(f.w->eName->text(), QStringLiteral("Bob"));

        holder.execute(QStringLiteral("ROLLBACK"));
        holder.close();
        QVERIFY(data::keyOpens(f.db.path(), data::defaultKey()));
        QCOMPARE(f.count(QStringLiteral("gid = 5")), 2);
    }
};

QTEST_MAIN(DatabasePasswordTest)
#include "DatabasePasswordTest.moc"
