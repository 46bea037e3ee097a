#include "RunMelbrin.h"
#include "TempDatabase.h"

#include <QFile>
#include <QProcess>
#include <QTest>

namespace { } // namespace

class CommandLineTest : public QObject
{
    Q_OBJECT
    TempDatabase db;
    QStringList on() const { return {QStringLiteral("--database"), db.path()}; }

private slots:
    void usageAndHelp_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("says");
        QTest::newRow("version") << QStringList {"--version"} << 0 << "melbrin 1.00";
        QTest::newRow("help") << QStringList {"--help"} << 0 << "resize-all";
        QTest::newRow("command help") << QStringList {"cards", "--help"} << 0 << "--member";
        QTest::newRow("unknown command") << QStringList {"print"} << 2 << "unknown command 'print'";
        QTest::newRow("unknown option") << QStringList {"members", "--colour"} << 2 << "colour";
        QTest::newRow("no output") << QStringList {"checklist"} << 2 << "--output";
        QTest::newRow("no file") << QStringList {"import"} << 2 << "needs FILE";
        QTest::newRow("empty file name") << QStringList {"import", ""} << 2 << "needs FILE";
        QTest::newRow("too many") << QStringList {"backup", "a", "b"} << 2 << "too many";
    }
    void usageAndHelp()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, says);
        const Run r = melbrin(args);
        QCOMPARE(r.code, code);
        QVERIFY2((r.out + r.err).contains(says), qPrintable(r.out + r.err));
        if (code == 2)
            QCOMPARE(r.err.count(u'\n'), 2); // one line and the hint
    }

    void aJobThatFailsSaysSoInOneLine()
    {
        const Run r = melbrin({"members", "--database", db.dir() + "/missing.mdb"});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.startsWith(QStringLiteral("melbrin: ")));
        QCOMPARE(r.err.count(u'\n'), 1);
        QVERIFY(!QFile::exists(db.dir() + "/missing.mdb"));
    }

    void importListPrintBackUpAndResize()
    {
        Run r = melbrin(QStringList {"import", QStringLiteral(EXAMPLES_DIR "/import.xls")} + on());
        QCOMPARE(r.code, 0);
        r = melbrin(QStringList {"members", "--group", "Sales"} + on());
        QCOMPARE(r.code, 0);
        const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(
            lines.first(),
            QStringLiteral(
                "group\tstaff no\tname\tChinese name\tpost\tdate join\texpiry\tremark\tphoto"));
        QVERIFY(lines.size() >= 2);
        QVERIFY(r.out.contains(QStringLiteral("陳大文")));
        QVERIFY(std::all_of(lines.begin(), lines.end(),
                            [](const QString& l) { return l.count(u'\t') == 8; }));

        const QString all = db.dir() + "/all.pdf";
        r = melbrin(QStringList {"cards", "-o", all} + on());
        QCOMPARE(r.code, 0);
        QVERIFY(pdfText(all).contains(QStringLiteral("Lee Siu Ming")));
        const QString one = db.dir() + "/one.pdf";
        r = melbrin(QStringList {"cards", "--output", one, "--member", "Chan Tai Man"} + on());
        QCOMPARE(r.code, 0);
        QVERIFY(pdfText(one).contains(QStringLiteral("Chan Tai Man")));
        QVERIFY(!pdfText(one).contains(QStringLiteral("Lee Siu Ming")));
        const QString list = db.dir() + "/list.pdf";
        QCOMPARE(melbrin(QStringList {"checklist", "--output", list} + on()).code, 0);
        QVERIFY(pdfText(list).contains(QStringLiteral("Member List")));

        const QString copy = db.dir() + "/copy.mdb";
        QCOMPARE(melbrin(QStringList {"backup", copy} + on()).code, 0);
        r = melbrin(QStringList {"backup", copy} + on());
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains(QStringLiteral("--force")));
        QCOMPARE(melbrin(QStringList {"backup", copy, "--force"} + on()).code, 0);
        QCOMPARE(melbrin({"members", "--database", copy}).out,
                 melbrin(QStringList {"members"} + on()).out);

        r = melbrin(QStringList {"resize-all"} + on());
        QCOMPARE(r.code, 0);
        QCOMPARE(r.err, QStringLiteral("melbrin: Completed.\n"));
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "CommandLineTest.moc"
