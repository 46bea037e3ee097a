// The main window on a server database that another station changes at the same time: a
// Save, Delete, Move, group removal or Delete All of a member the other station changed or
// removed since the window read it stores nothing, reads the list again and says so once;
// the server's password asked through the answers. Skipped where no PostgreSQL can start.
#include "PgServer.h"
#include "ScriptedAnswers.h"
#include "app/TMelbrin.h"
#include "data/Connection.h"
#include "data/Query.h"
#include "data/ServerSchema.h"
#include "data/Tdsrc.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTest>
#include <memory>

using app::TMelbrin;
using testsupport::PgServer;

namespace {

const QString conflict
    = QStringLiteral("This member was changed at another station. The list has been refreshed.");

void connectTo(data::Connection& c, const QString& address)
{
    c.setConnectionString(data::buildConnectionString(address, data::Tdsrc::password()));
    c.open();
}

// A new card database on the server with the groups Admin (1) and Works (2) and the members
// Amy, Ben and Cyd of Admin; answers its name.
QString cardDatabase(PgServer& pg)
{
    const QString name = pg.createDatabase(QStringLiteral("stations"));
    data::Connection c;
    connectTo(c, pg.address(name));
    data::createServerTables(c);
    pg.superuser(name,
                 QStringLiteral("insert into grptbl (gid, gdesc) values (1, 'Admin'), (2, 'Works');"
                                "insert into stafftbl (gid, name, post) values (1, 'Amy', 'A'),"
                                " (1, 'Ben', 'B'), (1, 'Cyd', 'C')"));
    return name;
}

// Another station: a connection of its own, changing rows through the program's queries as
// another copy of the program would.
struct Station
{
    data::Connection c;
    data::Query staff {c, QStringLiteral("other")};
    explicit Station(const QString& address) { connectTo(c, address); }
    void open(const QString& name)
    {
        staff.setSql(QStringLiteral("select * from stafftbl where name = :name"));
        staff.setParameter(QStringLiteral("name"), name);
        staff.open();
        QVERIFY(!staff.eof());
    }
    void change(const QString& name, const QString& post)
    {
        open(name);
        staff.edit();
        staff.setValue(QStringLiteral("post"), post);
        staff.post();
    }
    void remove(const QString& name)
    {
        open(name);
        staff.remove();
    }
    void add(int gid, const QString& name)
    {
        staff.setSql(QStringLiteral("select * from stafftbl where gid = -1"));
        staff.open();
        staff.append();
        staff.setValue(QStringLiteral("gid"), gid);
        staff.setValue(QStringLiteral("name"), name);
        staff.post();
    }
};

struct ServerWindow
{
    ScriptedAnswers answers;
    data::Tdsrc dsrc;
    std::unique_ptr<TMelbrin> w;
    explicit ServerWindow(const QString& address)
    {
        QSettings(QStringLiteral("Tavrik"), QStringLiteral("Melbrin")).clear();
        w = std::make_unique<TMelbrin>(dsrc, address);
    }
    ~ServerWindow() { w.reset(); }
    QStringList listed() const
    {
        QStringList names;
        const QAbstractItemModel* m = w->dbgInfo->model();
        for (int r = 0; r < m->rowCount(); ++r)
            names << m->index(r, 1).data().toString();
        return names;
    }
    void chooseGroup(const QString& name)
    {
        w->lstGroup->setCurrentIndex(w->lstGroup->findText(name));
        emit w->lstGroup->activated(w->lstGroup->currentIndex());
    }
    void clickRow(int row)
    {
        const QRect cell = w->dbgInfo->visualRect(w->dbgInfo->model()->index(row, 1));
        QTest::mouseClick(w->dbgInfo->viewport(), Qt::LeftButton, {}, cell.center());
    }
    // The post of a listed member as the window holds it; Null when not listed.
    QVariant post(const QString& name)
    {
        data::Query& q = dsrc.QStaff;
        for (int r = 0; r < q.rowCount(); ++r)
            if (q.rowValue(r, QStringLiteral("name")) == name)
                return q.rowValue(r, QStringLiteral("post"));
        return {};
    }
};

int count(PgServer& pg, const QString& db, const QString& where)
{
    return pg.superuser(db, QStringLiteral("select count(*) from ") + where).trimmed().toInt();
}

} // namespace

class StationsServerTest : public QObject
{
    Q_OBJECT

private slots:
    void conflictsStoreNothingAndReadTheListAgain_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("removedThere");
        for (const char* command : {"save", "delete", "move", "remove group", "delete all"}) {
            for (bool removed : {false, true})
                QTest::newRow(qPrintable(
                    QStringLiteral("%1, member %2 there")
                        .arg(QString::fromLatin1(command),
                             removed ? QStringLiteral("removed") : QStringLiteral("changed"))))
                    << QString::fromLatin1(command) << removed;
        }
    }
    void conflictsStoreNothingAndReadTheListAgain()
    {
        QFETCH(QString, command);
        QFETCH(bool, removedThere);
        PgServer* pg = PgServer::instance();
        if (!pg)
            QSKIP(qPrintable(PgServer::skipReason()));
        const QString db = cardDatabase(*pg);
        ServerWindow f(pg->address(db));
        f.w->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.w.get()));
        QVERIFY(f.answers.shown().empty());
        f.chooseGroup(QStringLiteral("Admin"));
        QCOMPARE(f.listed(), (QStringList {"Amy", "Ben", "Cyd"}));
        f.clickRow(1);
        QCOMPARE(f.w->eName->text(), QStringLiteral("Ben"));

        Station other(pg->address(db));
        if (removedThere)
            other.remove(QStringLiteral("Ben"));
        else
            other.change(QStringLiteral("Ben"), QStringLiteral("Elsewhere"));

        if (command == u"save") {
            f.w->eRemark->setFocus();
            QTest::keyClicks(f.w->eRemark, QStringLiteral("mine"));
            QTest::mouseClick(f.w->bSave, Qt::LeftButton);
        } else if (command == u"delete") {
            f.answers.confirmWith(true);
            QTest::mouseClick(f.w->bDelete, Qt::LeftButton);
        } else if (command == u"move") {
            QAction* works = nullptr;
            for (QAction* a : f.w->puMenu->actions())
                if (a->text() == u"Works")
                    works = a;
            QVERIFY(works);
            works->trigger();
        } else if (command == u"remove group") {
            f.answers.confirmWith(true);
            QTest::mouseClick(f.w->bRemove, Qt::LeftButton);
        } else {
            f.answers.confirmWith(true);
            QTest::mouseClick(f.w->bDelAll, Qt::LeftButton);
        }

        QVERIFY(f.answers.allAnswered());
        QCOMPARE(f.answers.texts(), QStringList {conflict});
        // The list as the other station left it, in the same group.
        QCOMPARE(f.w->lstGroup->currentText(), QStringLiteral("Admin"));
        if (removedThere) {
            QCOMPARE(f.listed(), (QStringList {"Amy", "Cyd"}));
        } else {
            QCOMPARE(f.listed(), (QStringList {"Amy", "Ben", "Cyd"}));
            QCOMPARE(f.post(QStringLiteral("Ben")).toString(), QStringLiteral("Elsewhere"));
        }
        if (command == u"save" || command == u"delete" || command == u"move") {
            // The member shown again, with the other station's values.
            QCOMPARE(f.w->eName->text(),
                     removedThere ? QStringLiteral("Cyd") : QStringLiteral("Ben"));
            QCOMPARE(f.w->eRemark->text(), QString());
            if (!removedThere)
                QCOMPARE(f.w->ePost->text(), QStringLiteral("Elsewhere"));
        }
        // Nothing of the window's reached the server.
        QCOMPARE(count(*pg, db, QStringLiteral("stafftbl where gid = 1")), removedThere ? 2 : 3);
        QCOMPARE(count(*pg, db, QStringLiteral("stafftbl where gid <> 1 or remark is not null")),
                 0);
        QCOMPARE(count(*pg, db, QStringLiteral("grptbl where gdesc = 'Admin'")), 1);

        // The next try of the same command works on what was read again.
        f.answers.clear();
        if (command == u"delete") {
            f.answers.confirmWith(true);
            QTest::mouseClick(f.w->bDelete, Qt::LeftButton);
            QVERIFY(f.answers.shown().empty());
            QCOMPARE(count(*pg, db, QStringLiteral("stafftbl")), removedThere ? 1 : 2);
        }
    }

    // F5 shows what another station added on the server.
    void refreshReadsTheServer()
    {
        PgServer* pg = PgServer::instance();
        if (!pg)
            QSKIP(qPrintable(PgServer::skipReason()));
        const QString db = cardDatabase(*pg);
        ServerWindow f(pg->address(db));
        f.w->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.w.get()));
        f.chooseGroup(QStringLiteral("Admin"));
        Station(pg->address(db)).add(1, QStringLiteral("Dee"));
        QCOMPARE(f.listed().size(), 3);
        QTest::keyClick(f.w->windowHandle(), Qt::Key_F5);
        QCOMPARE(f.listed(), (QStringList {"Amy", "Ben", "Cyd", "Dee"}));
        QVERIFY(f.w->sbDatabase->toolTip().contains(db)); // the status bar names the database
        QVERIFY(f.answers.shown().empty());
    }

    // A database on a server has no file password to change: Database Password says so and
    // asks nothing.
    void aServerDatabaseHasNoPasswordOfItsOwn()
    {
        PgServer* pg = PgServer::instance();
        if (!pg)
            QSKIP(qPrintable(PgServer::skipReason()));
        const QString db = cardDatabase(*pg);
        ServerWindow f(pg->address(db));
        f.w->actDatabasePassword->trigger();
        QVERIFY(f.answers.questions().isEmpty());
        QCOMPARE(f.answers.shown().size(), size_t(1));
        QCOMPARE(f.answers.shown().front().icon, data::MessageIcon::Information);
        QCOMPARE(f.answers.shown().front().text,
                 QStringLiteral("A database on a server has no password of its own; the server's "
                                "accounts protect it."));
        QVERIFY(f.dsrc.src.isOpen());
        QVERIFY(f.w->lstGroup->findText(QStringLiteral("Admin")) >= 0);
    }

    // A role the server asks a password of: the window asks through the answers, again
    // after a wrong one, and gives up when cancelled. The password shows nowhere and is
    // never stored.
    void thePasswordIsAsked_data()
    {
        QTest::addColumn<QStringList>("typed"); // "-" cancels
        QTest::addColumn<bool>("opens");
        QTest::newRow("right") << QStringList {"right-one"} << true;
        QTest::newRow("wrong, then right") << QStringList {"wrong", "right-one"} << true;
        QTest::newRow("cancelled") << QStringList {"-"} << false;
        QTest::newRow("wrong, then cancelled") << QStringList {"wrong", "-"} << false;
    }
    void thePasswordIsAsked()
    {
        QFETCH(QStringList, typed);
        QFETCH(bool, opens);
        PgServer* pg = PgServer::instance();
        if (!pg)
            QSKIP(qPrintable(PgServer::skipReason()));
        const QString db = cardDatabase(*pg);
        const QString role = QStringLiteral("clerk_") + db;
        pg->superuser(db,
                      QStringLiteral("create role %1 login password 'right-one';"
                                     "grant select, insert, update, delete on all tables in "
                                     "schema public to %1;"
                                     "grant usage on all sequences in schema public to %1")
                          .arg(role));
        const QString address = pg->address(db, role);

        ScriptedAnswers answers;
        for (const QString& t : typed)
            answers.enterPassword(t == u"-" ? std::nullopt : std::optional<QString>(t));
        QSettings(QStringLiteral("Tavrik"), QStringLiteral("Melbrin")).clear();
        data::Tdsrc dsrc;
        TMelbrin w(dsrc, address);
        QVERIFY(answers.allAnswered());
        QCOMPARE(answers.questions().size(), typed.size());
        for (const QString& q : answers.questions())
            QVERIFY2(q.startsWith(QStringLiteral("password Database Password: ")), qPrintable(q));
        QVERIFY(answers.questions().front().contains(role));
        if (typed.size() > 1) // the second time, why
            QVERIFY(answers.questions().at(1).size() > answers.questions().front().size());
        QCOMPARE(dsrc.src.isOpen(), opens);
        if (opens) {
            QVERIFY(answers.shown().empty());
            QCOMPARE(w.lstGroup->findText(QStringLiteral("Admin")) >= 0, true);
            QVERIFY(w.sbDatabase->toolTip().contains(role));
        } else {
            QCOMPARE(answers.shown().size(), size_t(1));
        }
        // Open Database on the same address asks no more once the password worked.
        if (opens) {
            answers.clear();
            answers.enter(address);
            w.actOpenDatabase->trigger();
            QVERIFY(answers.shown().empty());
            QCOMPARE(answers.questions().size(), 1); // the database box alone
            QCOMPARE(TMelbrin::rememberedDatabase(), address);
        }
        QSettings settings(QStringLiteral("Tavrik"), QStringLiteral("Melbrin"));
        settings.sync();
        QFile stored(settings.fileName());
        if (stored.open(QIODevice::ReadOnly))
            QVERIFY(!stored.readAll().contains("right-one"));
        for (const QString& text : answers.texts())
            QVERIFY(!text.contains(QStringLiteral("right-one")));
        QVERIFY(!w.sbDatabase->text().contains(QStringLiteral("right-one")));
        QVERIFY(!w.windowTitle().contains(QStringLiteral("right-one")));
    }
};

QTEST_MAIN(StationsServerTest)
#include "StationsServerTest.moc"
