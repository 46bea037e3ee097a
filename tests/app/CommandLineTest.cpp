#include "RunMelbrin.h"
#include "TempDatabase.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTest>

namespace {

// An oversized photo: resize-all stores it at 480 by 640.
QByteArray goodPhoto()
{
    QImage image(600, 800, QImage::Format_RGB888);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 90);
    return bytes;
}

} // namespace

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

    // Values in the photo column that are no picture: listed with an empty photo, left as
    // they are by resize-all, which names them and fails.
    void photosThatAreNoPictures()
    {
        TempDatabase other;
        const QStringList at {QStringLiteral("--database"), other.path()};
        addMember(other, 0, QStringLiteral("Number"));
        addMember(other, 0, QStringLiteral("Text"));
        addMember(other, 0, QStringLiteral("Good"), {}, {}, goodPhoto());
        other.exec(QStringLiteral("update stafftbl set photo = 42 where name = 'Number'"));
        other.exec(QStringLiteral("update stafftbl set photo = 'none' where name = 'Text'"));

        Run r = melbrin(QStringList {"members"} + at);
        QCOMPARE(r.code, 0);
        const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        QVERIFY2(lines[1].startsWith(u"DEFAULT") && lines[1].endsWith(u"\t600x800"),
                 qPrintable(lines[1]));
        QVERIFY2(lines[2].contains(u"Number") && lines[2].endsWith(u'\t'), qPrintable(lines[2]));
        QVERIFY2(lines[3].contains(u"Text") && lines[3].endsWith(u'\t'), qPrintable(lines[3]));

        r = melbrin(QStringList {"resize-all"} + at);
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(QStringLiteral("2 photos could not be decoded and were left "
                                               "unchanged: Number (")),
                 qPrintable(r.err));
        QVERIFY2(r.err.contains(QStringLiteral("Text (Not a JPEG file")), qPrintable(r.err));
        QCOMPARE(other.scalar(QStringLiteral("select photo from stafftbl where name = 'Number'"))
                     .toInt(),
                 42);
        QCOMPARE(other.scalar(QStringLiteral("select photo from stafftbl where name = 'Text'"))
                     .toString(),
                 QStringLiteral("none"));
        QCOMPARE(melbrin(QStringList {"members"} + at).out.count(QStringLiteral("480x640")), 1);
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "CommandLineTest.moc"
