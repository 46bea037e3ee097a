#include "ScriptedAnswers.h"
#include "TempDatabase.h"
#include "app/TMelbrin.h"
#include "app/Taboutbox.h"
#include "data/Error.h"
#include "data/Schema.h"

#include <QAction>
#include <QComboBox>
#include <QCryptographicHash>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolBar>

using app::TMelbrin;

namespace {

QByteArray digest(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

} // namespace

class StartupTest : public QObject
{
    Q_OBJECT
private slots:
    void startsOnTheStarterDatabase()
    {
        TempDatabase db;
        ScriptedAnswers answers;
        data::Tdsrc dsrc;
        TMelbrin w(dsrc, db.path());
        QVERIFY(answers.shown().empty());
        QCOMPARE(w.windowTitle(), QStringLiteral("Melbrin"));
        QCOMPARE(w.FDatabasePath(), db.path());
        QCOMPARE(w.FSortField(), QStringLiteral("name"));
        QVERIFY(dsrc.src.isOpen());
        QVERIFY(dsrc.QGroup.isOpen());
        QVERIFY(dsrc.QStaff.isOpen());
        // Opened by the commands that need them.
        QVERIFY(!dsrc.QList.isOpen());
        QVERIFY(!dsrc.QAllStaff.isOpen());
        QCOMPARE(w.sbPanel[0]->text(), QStringLiteral("Total Staffs=0"));
        QCOMPARE(w.sbPanel[1]->text(), QStringLiteral("Total Groups=1"));
        QCOMPARE(w.lstGroup->currentText(), QStringLiteral("DEFAULT"));
        QCOMPARE(dsrc.QGroup.rowCount(), 1);
        dsrc.QGroup.first();
        QCOMPARE(dsrc.QGroup.asString(QStringLiteral("gdesc")), QStringLiteral("DEFAULT"));
        QCOMPARE(dsrc.QGroup.asInt(QStringLiteral("gid")), 0);
    }

    void theStarterFileHoldsTheLayoutRows()
    {
        TempDatabase db;
        QCOMPARE(db.scalar(QStringLiteral("select count(*) from param")).toInt(), 1);
        QCOMPARE(db.scalar(QStringLiteral("select style from param")).toInt(), 0);
        QCOMPARE(db.scalar(QStringLiteral("select group_concat(seq) from fields")).toString(),
                 QStringLiteral("1,2,3,4,5,6,7,8"));
        // every field names a column of the joined staff rows
        data::Tdsrc dsrc;
        dsrc.connectTo(db.path());
        data::Query fields(dsrc.src, QStringLiteral("fields"));
        fields.setSql(QStringLiteral("select * from fields"));
        fields.open();
        dsrc.QList.open();
        for (fields.first(); !fields.eof(); fields.next())
            QVERIFY(dsrc.QList.hasColumn(fields.asString(QStringLiteral("fname"))));
        QVERIFY_THROWS_EXCEPTION(data::Error,
                                 data::createStarterDatabase(db.path(), QStringLiteral("x")));
    }

    void aDatabaseThatCannotBeOpenedIsReportedOnce_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty: no file at all
        QTest::addColumn<QString>("password");
        QTest::newRow("missing") << QByteArray() << QString();
        QTest::newRow("not a database") << QByteArray(4096, 'x') << QString();
        QTest::newRow("wrong key") << QByteArray("make") << QStringLiteral("other");
    }
    void aDatabaseThatCannotBeOpenedIsReportedOnce()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, password);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("cardinfo.mdb"));
        if (content == "make") {
            data::createStarterDatabase(path, password);
        } else if (!content.isEmpty()) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        const QByteArray before = digest(path);

        ScriptedAnswers answers;
        // A file that does not open with the default key may have a password of its own:
        // the question is cancelled.
        if (!content.isEmpty())
            answers.givePassphrase(std::nullopt);
        data::Tdsrc dsrc;
        TMelbrin w(dsrc, path);
        QVERIFY(answers.allAnswered());
        QCOMPARE(answers.shown().size(), size_t(1));
        QCOMPARE(answers.shown().at(0).title, QStringLiteral("Melbrin"));
        QCOMPARE(answers.shown().at(0).icon, data::MessageIcon::Error);
        QVERIFY(!answers.shown().at(0).text.isEmpty());
        QVERIFY(!dsrc.src.isOpen());
        QCOMPARE(w.lstGroup->count(), 0);
        QCOMPARE(w.dbgInfo->model()->rowCount(), 0);
        QCOMPARE(digest(path), before);
        QCOMPARE(QFile::exists(path), !content.isEmpty());
    }

    void controlsAreInPlace()
    {
        TempDatabase db;
        ScriptedAnswers answers;
        data::Tdsrc dsrc;
        TMelbrin w(dsrc, db.path());
        w.show();
        const QStringList commands
            = {"&Exit",       "&About",         "&Import",     "Import &Photos",
               "Check &List", "Save &Database", "&Card Layout"};
        QStringList captions;
        for (QAction* a : w.ActionToolBar1->actions())
            captions << a->text();
        QCOMPARE(captions, commands);
        // Every command shows on the bar at the default width, none behind its extension.
        for (QAction* a : w.ActionToolBar1->actions()) {
            const QWidget* button = w.ActionToolBar1->widgetForAction(a);
            QVERIFY2(button && button->isVisible(), qPrintable(a->text()));
            QVERIFY2(button->geometry().right() < w.ActionToolBar1->width(), qPrintable(a->text()));
        }
        QVERIFY(!w.bResizeAll->isVisible());
        QVERIFY(w.bSave->isVisible());
        for (const char* name :
             {"lstGroup", "bNewGrp",  "bRemove",  "dbgInfo", "bDelete",   "bDelAll",
              "bPreview", "eStaffNo", "eName",    "eCname",  "ePost",     "dpJoin",
              "dpExpiry", "eRemark",  "imgPhoto", "bRotate", "bPhoto",    "bpClear",
              "bSave",    "bClear",   "sbInfo",   "gbList",  "gbDetails", "puMenu"})
            QVERIFY2(w.findChild<QObject*>(QString::fromLatin1(name)), name);
        QCOMPARE(w.gbDetails->width(), 324);
        QCOMPARE(w.dbgInfo->model()->headerData(2, Qt::Horizontal).toString(),
                 QStringLiteral("Chinese"));
        QVERIFY(!w.findChild<QWidget*>(QStringLiteral("lstGroup"))->property("editable").toBool());
    }

    void exitClosesAndAboutShowsTheBox()
    {
        TempDatabase db;
        ScriptedAnswers answers;
        data::Tdsrc dsrc;
        TMelbrin w(dsrc, db.path());
        w.show();
        app::Taboutbox about(&w);
        QCOMPARE(about.windowTitle(), QStringLiteral("About Melbrin"));
        QCOMPARE(about.size(), QSize(327, 275));
        QVERIFY(about.findChild<QPushButton*>(QStringLiteral("bClose")));
        // It says what the program's own password keeps the file from, and how an office
        // gives the file one of its own.
        const auto* memo = about.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
        QVERIFY(memo);
        for (const char* part : {"kept only from casual reading", "not from anyone who has this",
                                 "File > Database Password...", "open the file and its backups"})
            QVERIFY2(memo->toPlainText().simplified().contains(QLatin1String(part)), part);
        w.actExit->trigger();
        QVERIFY(!w.isVisible());
        QVERIFY(answers.shown().empty());
    }
};

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
