// The main window of a station whose server role may only read: the members are listed and
// shown, and a Save or Delete is refused with the server's reason in one message, nothing
// stored. Skipped where no PostgreSQL can start.
#include "PgPassword.h"
#include "PgServer.h"
#include "ScriptedAnswers.h"
#include "app/TMelbrin.h"
#include "data/Connection.h"
#include "data/ServerSchema.h"
#include "data/Tdsrc.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTest>
#include <memory>

using app::TMelbrin;
using testsupport::PgServer;

namespace {

const QString refused
    = QStringLiteral("The server refused the change: permission denied for table stafftbl");

} // namespace

class ReadOnlyWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void changesAreRefusedWithTheServersReason_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("save") << QStringLiteral("save");
        QTest::newRow("delete") << QStringLiteral("delete");
    }
    void changesAreRefusedWithTheServersReason()
    {
        QFETCH(QString, command);
        PgServer* pg = PgServer::instance();
        if (!pg)
            QSKIP(qPrintable(PgServer::skipReason()));
        const QString db = pg->createDatabase(QStringLiteral("reader"));
        {
            data::Connection c;
            c.setConnectionString(data::buildConnectionString(pg->address(db), {}));
            c.open();
            data::createServerTables(c);
        }
        const QString role = db + QStringLiteral("_reader");
        pg->superuser(db,
                      QStringLiteral("insert into grptbl (gid, gdesc) values (1, 'Admin');"
                                     "insert into stafftbl (gid, name, post) values"
                                     " (1, 'Amy', 'A'), (1, 'Ben', 'B');"
                                     "create role %1 login password 'reader-pw';"
                                     "grant select on all tables in schema public to %1")
                          .arg(role));
        const auto rows = [&] {
            return pg->superuser(db,
                                 QStringLiteral("select name, post, remark, rowversion from"
                                                " stafftbl order by seq"));
        };
        const QString before = rows();

        const testsupport::ExtraPassword password(role, QStringLiteral("reader-pw"));
        ScriptedAnswers answers;
        QSettings(QStringLiteral("Tavrik"), QStringLiteral("Melbrin")).clear();
        data::Tdsrc dsrc;
        auto w = std::make_unique<TMelbrin>(dsrc, pg->address(db, role));
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QVERIFY(answers.shown().empty());
        w->lstGroup->setCurrentIndex(w->lstGroup->findText(QStringLiteral("Admin")));
        emit w->lstGroup->activated(w->lstGroup->currentIndex());
        QCOMPARE(w->dbgInfo->model()->rowCount(), 2);
        const QRect cell = w->dbgInfo->visualRect(w->dbgInfo->model()->index(1, 1));
        QTest::mouseClick(w->dbgInfo->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(w->eName->text(), QStringLiteral("Ben"));

        answers.confirmWith(true); // overwrite the record, delete it
        if (command == u"save") {
            w->eRemark->setFocus();
            QTest::keyClicks(w->eRemark, QStringLiteral("mine"));
            QTest::mouseClick(w->bSave, Qt::LeftButton);
        } else {
            QTest::mouseClick(w->bDelete, Qt::LeftButton);
        }
        QVERIFY(answers.allAnswered());
        QCOMPARE(answers.shown().size(), size_t(1));
        const ScriptedAnswers::Shown& shown = answers.shown().front();
        QCOMPARE(shown.icon, data::MessageIcon::Error);
        // In the box's text or as the reason given with it.
        QVERIFY2(shown.text.startsWith(refused) || shown.reason == refused,
                 qPrintable(shown.text + u'|' + shown.reason));
        QCOMPARE(rows(), before);
        // The list still shows both, and the window goes on reading.
        QCOMPARE(w->dbgInfo->model()->rowCount(), 2);
        w.reset();
    }
};

QTEST_MAIN(ReadOnlyWindowTest)
#include "ReadOnlyWindowTest.moc"
