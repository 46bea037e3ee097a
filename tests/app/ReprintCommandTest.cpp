// The card commands end to end: the watermark setting, the reprint list (--changed,
// --mark-printed) following import and printing, an older file gaining the new table and
// columns without printing any differently, and a file that cannot be written.
#include "RunMelbrin.h"
#include "TempDatabase.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <grp.h>
#include <unistd.h>

namespace {

// The pages of a PDF as images, one digest for all of them: equal when they look the same,
// whenever and into whatever file they were written.
QByteArray pageImages(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("40"), pdf});
    p.waitForFinished(60000);
    const QByteArray pixels = p.readAllStandardOutput();
    return pixels.isEmpty() ? QByteArray()
                            : QCryptographicHash::hash(pixels, QCryptographicHash::Sha256);
}

QString schemaOf(const TempDatabase& db)
{
    return db.scalar(QStringLiteral("select group_concat(sql, ';') from sqlite_master")).toString();
}

// The starter file as older versions wrote it, in place of the new one, with two members.
void makeOlder(const TempDatabase& db)
{
    QFile::remove(db.path());
    QVERIFY(QFile::copy(QStringLiteral(OLDER_DATABASE), db.path()));
    QFile(db.path()).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    addMember(db, 0, QStringLiteral("Tam Oi Lin"), QString(), QStringLiteral("A1"));
    addMember(db, 0, QStringLiteral("Yip Ka Fai"), QString(), QStringLiteral("A2"));
}

// Runs the program on a file it may not write. A chmod stops every user but the superuser, so
// under root the run drops to the unprivileged "nobody", with the folder open to it.
Run melbrinReadOnly(const TempDatabase& db, const QStringList& args)
{
    QFile::setPermissions(db.path(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QFile::setPermissions(db.dir(),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                              | QFile::WriteOther | QFile::ExeOther | QFile::ReadGroup
                              | QFile::WriteGroup | QFile::ExeGroup);
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    env.insert(QStringLiteral("HOME"), db.dir());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), db.dir());
    env.insert(QStringLiteral("XDG_CACHE_HOME"), db.dir());
    p.setProcessEnvironment(env);
    if (geteuid() == 0) {
        p.setChildProcessModifier([] {
            const gid_t nobody = 65534;
            if (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0)
                _exit(99);
        });
    }
    p.start(QStringLiteral(MELBRIN_EXECUTABLE), args + QStringList {"--database", db.path()});
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

} // namespace

class ReprintCommandTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void watermark_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("setting"); // empty: no such row
        QTest::addColumn<bool>("marked");
        for (const char* command : {"cards", "checklist"}) {
            QTest::addRow("%s absent", command) << command << "" << true;
            QTest::addRow("%s on", command) << command << "on" << true;
            QTest::addRow("%s off", command) << command << "off" << false;
        }
    }
    void watermark()
    {
        QFETCH(QString, command);
        QFETCH(QString, setting);
        QFETCH(bool, marked);
        const TempDatabase db;
        addMember(db, 0, QStringLiteral("Tam Oi Lin"), QString(), QStringLiteral("A1"));
        if (!setting.isEmpty())
            db.exec(QStringLiteral("insert into settings values ('card.watermark', '%1')")
                        .arg(setting));
        const QString pdf = db.dir() + "/out.pdf";
        const Run r = melbrin({command, "-o", pdf, "--database", db.path()});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        const QString text = pdfText(pdf);
        QVERIFY(text.contains("Tam Oi Lin"));
        // Cards lose "SAMPLE" and the address; the check list its address, while its boxes
        // keep their "Check List" title.
        if (command == u"cards")
            QCOMPARE(text.contains("SAMPLE"), marked);
        else
            QVERIFY(text.contains("Check"));
        QCOMPARE(text.contains("www.tavrik.example.com"), marked);
    }

    // Members an older file had need no card until their data changes; import, printing and
    // --mark-printed move members on and off the list.
    void reprintListFollowsImportAndPrinting()
    {
        const TempDatabase db;
        makeOlder(db);
        const QStringList on {"--database", db.path()};
        const QString pdf = db.dir() + "/cards.pdf";
        const auto changedCards = [&] {
            const Run r = melbrin(QStringList {"cards", "--changed", "-o", pdf} + on);
            [&] { QVERIFY2(r.code == 0, qPrintable(r.err)); }();
            return pdfText(pdf);
        };
        QString text = changedCards();
        QVERIFY(!text.contains("Tam Oi Lin"));
        QVERIFY(!text.contains("Yip Ka Fai"));

        QCOMPARE(
            melbrin(QStringList {"import", QStringLiteral(EXAMPLES_DIR "/import.xls")} + on).code,
            0);
        text = changedCards();
        QVERIFY(text.contains("Lee Siu Ming"));
        QVERIFY(!text.contains("Yip Ka Fai"));
        const QString changed
            = db.scalar("select changedutc from stafftbl where name='Lee Siu Ming'").toString();
        QVERIFY2(QRegularExpression(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z$)")
                     .match(changed)
                     .hasMatch(),
                 qPrintable(changed));
        QVERIFY(db.scalar("select printedutc from stafftbl where name='Lee Siu Ming'").isNull());

        // Printing without --mark-printed stores nothing.
        QCOMPARE(melbrin(QStringList {"cards", "-o", pdf} + on).code, 0);
        QVERIFY(changedCards().contains("Lee Siu Ming"));

        const Run marked
            = melbrin(QStringList {"cards", "--changed", "--mark-printed", "-o", pdf} + on);
        QVERIFY2(marked.code == 0, qPrintable(marked.err));
        QVERIFY(pdfText(pdf).contains("Lee Siu Ming"));
        QVERIFY(db.scalar("select printedutc >= changedutc from stafftbl where name='Lee Siu Ming'")
                    .toBool());
        QVERIFY(db.scalar("select printedutc from stafftbl where name='Yip Ka Fai'").isNull());
        QVERIFY(!changedCards().contains("Lee Siu Ming"));
        // The same workbook again changes no member: nobody comes back on the list.
        QCOMPARE(
            melbrin(QStringList {"import", QStringLiteral(EXAMPLES_DIR "/import.xls")} + on).code,
            0);
        QVERIFY(!changedCards().contains("Lee Siu Ming"));

        // One member printed by name leaves the others on the list.
        db.exec("update stafftbl set changedutc='2026-01-01T00:00:00.000Z', printedutc=null");
        QCOMPARE(
            melbrin(QStringList {"cards", "--member", "Yip Ka Fai", "--mark-printed", "-o", pdf}
                    + on)
                .code,
            0);
        text = changedCards();
        QVERIFY(!text.contains("Yip Ka Fai"));
        QVERIFY(text.contains("Tam Oi Lin"));
        QVERIFY(text.contains("Lee Siu Ming"));

        const Run both
            = melbrin(QStringList {"cards", "--changed", "--member", "X", "-o", pdf} + on);
        QCOMPARE(both.code, 2);
    }

    // An older file gains the table and the columns on its first run, and nothing else of its
    // schema changes; its cards and check list look as those of a file that had them, and
    // a later run that prints writes nothing into the file.
    void olderFileGainsTheColumnsOnceAndPrintsAsBefore()
    {
        const TempDatabase older;
        makeOlder(older);
        const TempDatabase newer;
        addMember(newer, 0, QStringLiteral("Tam Oi Lin"), QString(), QStringLiteral("A1"));
        addMember(newer, 0, QStringLiteral("Yip Ka Fai"), QString(), QStringLiteral("A2"));
        const QString before = schemaOf(older);
        QVERIFY(!before.contains("settings"));

        for (const char* command : {"cards", "checklist"}) {
            const QString oldPdf = older.dir() + "/old.pdf", newPdf = newer.dir() + "/new.pdf";
            QCOMPARE(melbrin({command, "-o", oldPdf, "--database", older.path()}).code, 0);
            QCOMPARE(melbrin({command, "-o", newPdf, "--database", newer.path()}).code, 0);
            const QByteArray pages = pageImages(oldPdf);
            QVERIFY(!pages.isEmpty());
            QCOMPARE(pages, pageImages(newPdf));
        }
        const QString after = schemaOf(older);
        QVERIFY(after.contains("CREATE TABLE settings"));
        QVERIFY(after.contains("changedutc") && after.contains("printedutc"));
        QVERIFY(after.startsWith(before.left(before.indexOf("photo BLOB"))));
        QCOMPARE(older
                     .scalar("select count(*) from stafftbl where changedutc is not null"
                             " or printedutc is not null")
                     .toInt(),
                 0);

        const QByteArray file = digestOf(older.path());
        QCOMPARE(
            melbrin({"cards", "-o", older.dir() + "/again.pdf", "--database", older.path()}).code,
            0);
        QCOMPARE(digestOf(older.path()), file);
        QCOMPARE(schemaOf(older), after);
    }

    // A read-only older file: the cards and the check list still print, with the defaults,
    // and standard error says why the settings could not be stored; --mark-printed prints
    // and says why the time was not stored. The file stays as it was.
    void readOnlyFilePrintsWithTheDefaults()
    {
        const TempDatabase db;
        makeOlder(db);
        const QByteArray file = digestOf(db.path());
        const QString pdf = db.dir() + "/ro.pdf";

        Run r = melbrinReadOnly(db, {"cards", "-o", pdf});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY(r.err.contains("cannot be stored"));
        QVERIFY2(r.err.contains("readonly") || r.err.contains("read-only"), qPrintable(r.err));
        QVERIFY(pdfText(pdf).contains("Tam Oi Lin"));
        QVERIFY(pdfText(pdf).contains("SAMPLE"));

        r = melbrinReadOnly(db, {"checklist", "-o", pdf});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY(r.err.contains("cannot be stored"));
        QVERIFY(pdfText(pdf).contains("Yip Ka Fai"));

        QFile::remove(pdf);
        r = melbrinReadOnly(db, {"cards", "--mark-printed", "-o", pdf});
        QCOMPARE(r.code, 1);
        QVERIFY(pdfText(pdf).contains("Tam Oi Lin"));
        QVERIFY2(r.err.contains("printed could not be stored"), qPrintable(r.err));
        QVERIFY(r.err.contains("readonly") || r.err.contains("read-only"));

        r = melbrinReadOnly(db, {"cards", "--changed", "-o", pdf});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY(!pdfText(pdf).contains("Tam Oi Lin"));
        QCOMPARE(digestOf(db.path()), file);
    }
};

QTEST_GUILESS_MAIN(ReprintCommandTest)
#include "ReprintCommandTest.moc"
