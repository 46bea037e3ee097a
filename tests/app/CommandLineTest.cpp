#include "RunMelbrin.h"
#include "TempDatabase.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTest>
#include <algorithm>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Exit 1 and one line on standard error, which says more than the program's name.
void refused(const Run& r, const QString& what)
{
    QVERIFY2(r.code == 1, qPrintable(what + ": " + r.err));
    QVERIFY2(r.err.startsWith(QStringLiteral("melbrin: ")) && r.err.count(u'\n') == 1,
             qPrintable(what + ": " + r.err));
    QVERIFY2(!r.err.contains(QStringLiteral("Database saved.")), qPrintable(what));
}

QStringList hiddenIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

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
        QTest::newRow("empty file name") << QStringList {"import", ""} << 2 << "needs FILE";
        QTest::newRow("too many") << QStringList {"backup", "a", "b"} << 2 << "too many";
        QTest::newRow("no database path") << QStringList {"--database"} << 2 << "--database";
        QTest::newRow("sheet of another size")
            << QStringList {"cards", "-o", "x.pdf", "--sheet", "letter"} << 2
            << "--sheet takes a4 or card, not 'letter'";
        QTest::newRow("unknown code") << QStringList {"cards", "-o", "x.pdf", "--code", "ean13"}
                                      << 2 << "--code takes none, code128 or qr, not 'ean13'";
        QTest::newRow("find in a group")
            << QStringList {"members", "--find", "a", "--group", "Sales"} << 2
            << "--find and --group cannot be given together";
        QTest::newRow("find nothing")
            << QStringList {"members", "--find", ""} << 2 << "--find needs a text";
        QTest::newRow("watermark yes") << QStringList {"cards", "-o", "x.pdf", "--watermark", "yes"}
                                       << 2 << "--watermark takes on or off, not 'yes'";
        QTest::newRow("photos help")
            << QStringList {"import-photos", "--help"} << 0 << "--fit <crop|stretch>";
        QTest::newRow("no folder") << QStringList {"import-photos"} << 2 << "needs FOLDER";
        QTest::newRow("unknown match") << QStringList {"import-photos", "x", "--match", "email"}
                                       << 2 << "--match takes staffno or name, not 'email'";
        QTest::newRow("key options in the help")
            << QStringList {"--help"} << 0 << "--passphrase-file <FILE>";
        QTest::newRow("rekey help")
            << QStringList {"rekey", "--help"} << 0 << "--new-passphrase-stdin";
        QTest::newRow("backup help")
            << QStringList {"backup", "--help"} << 0 << "--new-passphrase-file <FILE>";
        QTest::newRow("rekey without a new key")
            << QStringList {"rekey"} << 2
            << "give one of --new-passphrase-file FILE, --new-passphrase-stdin and --default";
        QTest::newRow("rekey with two new keys")
            << QStringList {"rekey", "--default", "--new-passphrase-stdin"} << 2 << "give one of";
        QTest::newRow("backup with two new keys")
            << QStringList {"backup", "x.mdb", "--default", "--new-passphrase-file", "k"} << 2
            << "give one of";
        QTest::newRow("standard input twice")
            << QStringList {"rekey", "--passphrase-stdin", "--new-passphrase-stdin"} << 2
            << "standard input gives one password";
        QTest::newRow("a passphrase file and standard input")
            << QStringList {"members", "--passphrase-file", "k", "--passphrase-stdin"} << 2
            << "cannot be given together";
        QTest::newRow("no passphrase from an argument")
            << QStringList {"rekey", "--new-passphrase", "secret"} << 2
            << "Unknown option 'new-passphrase'";
        QTest::newRow("new key of a listing")
            << QStringList {"members", "--default"} << 2 << "Unknown option 'default'";
        QTest::newRow("unknown fit") << QStringList {"import-photos", "x", "--fit", "pad"} << 2
                                     << "--fit takes crop or stretch, not 'pad'";
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

    // With no command, the desktop program starts on the database given.
    void aDatabaseAloneStartsTheWindowOnIt_data()
    {
        QTest::addColumn<bool>("joined");
        QTest::newRow("--database PATH") << false;
        QTest::newRow("--database=PATH") << true;
    }
    void aDatabaseAloneStartsTheWindowOnIt()
    {
        QFETCH(bool, joined);
        if (!QFileInfo::exists(QStringLiteral("/proc/self/fd")))
            QSKIP("needs /proc to see the files a process holds open");
        QTemporaryDir home;
        const QString path = home.filePath(QStringLiteral("other.mdb"));
        QVERIFY(QFile::copy(db.path(), path));
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(MELBRIN_EXECUTABLE),
                joined ? QStringList {QStringLiteral("--database=") + path}
                       : QStringList {QStringLiteral("--database"), path});
        QVERIFY(p.waitForStarted());
        const QString fds = QStringLiteral("/proc/%1/fd").arg(p.processId());
        const QString wanted = QFileInfo(path).canonicalFilePath();
        auto holdsDatabase = [&] {
            const QStringList entries
                = QDir(fds).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
            return std::any_of(entries.begin(), entries.end(), [&](const QString& fd) {
                return QFileInfo(fds + u'/' + fd).symLinkTarget() == wanted;
            });
        };
        // The window keeps the database open while it runs; the command line would have ended.
        bool open = false;
        const QDeadlineTimer deadline(60000);
        while (!open && !deadline.hasExpired() && !p.waitForFinished(100))
            open = holdsDatabase();
        const QString said = QString::fromUtf8(p.readAllStandardError());
        p.kill();
        p.waitForFinished();
        QVERIFY2(open, qPrintable(said));
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
        // For this run only: one card per page of the card's size; the stored A4 stays.
        const QString card = db.dir() + "/card.pdf";
        r = melbrin(QStringList {"cards", "-o", card, "--sheet", "card", "--member", "Chan Tai Man"}
                    + on());
        QCOMPARE(r.code, 0);
        QVERIFY(pdfText(card).contains(QStringLiteral("Chan Tai Man")));
        QVERIFY(pdfInfo(card).contains(QStringLiteral("243 x 153 pts")));
        QVERIFY(pdfInfo(one).contains(QStringLiteral("595 x 842 pts")));
        r = melbrin(QStringList {"cards", "-o", card, "--member", "Chan Tai Man"} + on());
        QVERIFY(pdfInfo(card).contains(QStringLiteral("595 x 842 pts")));
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

    // Every list of the report in full on standard output; exit 1 only when the work failed.
    void importPhotosFromAFolder()
    {
        TempDatabase own;
        addMember(own, 0, QStringLiteral("Wide One"), {}, QStringLiteral("W1"));
        addMember(own, 0, QStringLiteral("Tall One"), {}, QStringLiteral("T1"));
        QTemporaryDir folder;
        QVERIFY(QFile::copy(QStringLiteral(PHOTO_FIXTURES "/bands-landscape.jpg"),
                            folder.filePath("w1.jpg")));
        QVERIFY(QFile::copy(QStringLiteral(PHOTO_FIXTURES "/bands-tall.jpg"),
                            folder.filePath("Tall One.jpg")));
        for (int i = 0; i < 30; ++i)
            write(folder.filePath(QStringLiteral("x%1.bmp").arg(i)), "x");
        const QStringList at {QStringLiteral("--database"), own.path()};

        Run r = melbrin(QStringList {"import-photos", folder.path()} + at);
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.startsWith(QStringLiteral("1 photo stored.\n31 files matched no member:\n"
                                                 "  Tall One.jpg\n  x0.bmp\n")),
                 qPrintable(r.out));
        QVERIFY(r.out.contains(QStringLiteral("\n  x29.bmp\n")));
        QVERIFY(!r.out.contains(QStringLiteral("more")));
        QVERIFY2(r.err.isEmpty(), qPrintable(r.err));

        r = melbrin(
            QStringList {"import-photos", folder.path(), "--match", "name", "--fit", "stretch"}
            + at);
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.startsWith(QStringLiteral("1 photo stored.\n")));
        const QString members = melbrin(QStringList {"members"} + at).out;
        QVERIFY2(members.contains(QStringLiteral("225x300\n")), qPrintable(members));
        QVERIFY2(members.contains(QStringLiteral("100x1000\n")), qPrintable(members));

        r = melbrin(QStringList {"import-photos", folder.filePath("missing")} + at);
        refused(r, QStringLiteral("missing folder"));
        QVERIFY(r.err.contains(QStringLiteral("missing")));
    }

    // A CSV file imports as the workbook does; one with a broken line imports nothing and
    // says which line.
    void importReadsCsvFiles()
    {
        // The locale whose short date the joining dates are written in, for the runs below.
        struct Locale
        {
            const bool was = qEnvironmentVariableIsSet("LC_ALL");
            const QByteArray value = qgetenv("LC_ALL");
            Locale() { qputenv("LC_ALL", "en_AU.UTF-8"); }
            ~Locale() { was ? qputenv("LC_ALL", value) : qunsetenv("LC_ALL"); }
        } locale;
        const TempDatabase own;
        const QStringList ownDb {QStringLiteral("--database"), own.path()};
        Run r = melbrin(QStringList {"import", QStringLiteral(EXAMPLES_DIR "/import.csv")} + ownDb);
        QCOMPARE(r.code, 0);
        QCOMPARE(r.err, QString());
        r = melbrin(QStringList {"members"} + ownDb);
        QVERIFY2(r.out.contains(QString::fromUtf8(
                     "Sales\t1001\tChan Tai Man\t陳大文\tManager\t5/3/04\t \t \t\n")),
                 qPrintable(r.out));
        QVERIFY2(r.out.contains(QString::fromUtf8("\t1004\tHo Ka Yan\t何嘉欣\t\t\t")),
                 qPrintable(r.out));
        const QString before = r.out;

        const QString broken = own.dir() + "/broken.txt";
        write(broken, "NAME\tGROUP\nNew\tSales\n\"Odd\tSales\n");
        r = melbrin(QStringList {"import", broken} + ownDb);
        QCOMPARE(r.err,
                 QStringLiteral("melbrin: Cannot import '%1': the quoted field that begins on "
                                "line 3 has no closing quote\n")
                     .arg(broken));
        QCOMPARE(r.code, 1);
        QCOMPARE(melbrin(QStringList {"members"} + ownDb).out, before);

        r = melbrin({"import", "--help"});
        QVERIFY2(r.out.contains(QStringLiteral(".xlsx")) && r.out.contains(QStringLiteral(".csv")),
                 qPrintable(r.out));
    }

    // The search box's rows: every group, letter case folded beyond A to Z, Chinese by
    // characters, wildcards as plain characters; the group first, as members lists it.
    void findSearchesEveryGroup()
    {
        const TempDatabase own;
        own.exec(QStringLiteral("insert into grptbl (gid, gdesc) values (1, 'Admin')"));
        addMember(own, 1, QStringLiteral("Émile Roux"), QStringLiteral("李安"),
                  QStringLiteral("S1"));
        addMember(own, 0, QStringLiteral("ÉMILE BLANC"), QString(), QStringLiteral("S_2"));
        addMember(own, 1, QStringLiteral("Bob"), QStringLiteral("何安"), QStringLiteral("S32"));
        const QStringList at {QStringLiteral("--database"), own.path()};
        const auto found = [&](const QString& text) {
            const Run r = melbrin(QStringList {"members", "--find", text} + at);
            QStringList rows = r.out.split(u'\n', Qt::SkipEmptyParts);
            if (r.code != 0 || rows.isEmpty()
                || !rows.takeFirst().startsWith(QStringLiteral("group\tstaff no\tname\t")))
                return QStringList {QStringLiteral("failed: ") + r.err};
            for (QString& row : rows)
                row = row.section(u'\t', 0, 2);
            return rows;
        };
        QCOMPARE(found(QStringLiteral("émile")),
                 (QStringList {"DEFAULT\tS_2\tÉMILE BLANC", "Admin\tS1\tÉmile Roux"}));
        QCOMPARE(found(QStringLiteral("安")),
                 (QStringList {"Admin\tS32\tBob", "Admin\tS1\tÉmile Roux"}));
        QCOMPARE(found(QStringLiteral("s_")), (QStringList {"DEFAULT\tS_2\tÉMILE BLANC"}));
        QCOMPARE(found(QStringLiteral("zed")), QStringList());
    }

    // No output may land on the database or its journal, however the path is spelled.
    void theDatabaseIsNeverAnOutput()
    {
        const TempDatabase own; // its own: on the old code the runs overwrote it
        const QStringList ownDb {QStringLiteral("--database"), own.path()};
        const QString links = own.dir() + "/links";
        QVERIFY(QDir().mkpath(links));
        QVERIFY(QFile::link(own.path(), links + "/symlink.mdb"));
        QCOMPARE(::link(QFile::encodeName(own.path()).constData(),
                        QFile::encodeName(links + "/hardlink.mdb").constData()),
                 0);
        const QByteArray digest = digestOf(own.path());
        const QString journal = own.path() + "-journal";
        const QString names[] = {
            own.path(),
            QFileInfo(own.dir()).fileName() + "/../" + QFileInfo(own.dir()).fileName()
                + "/cardinfo.mdb",
            links + "/symlink.mdb",
            links + "/hardlink.mdb",
            journal,
            links + "/../cardinfo.mdb-journal",
        };
        for (const QString& name : names) {
            // The relative spelling is taken from the folder above the database's.
            const auto inParent = [&](const QStringList& args) {
                const QString old = QDir::currentPath();
                QDir::setCurrent(QFileInfo(own.dir()).absolutePath());
                const Run r = melbrin(args + ownDb);
                QDir::setCurrent(old);
                return r;
            };
            refused(inParent({"cards", "--output", name}), "cards " + name);
            refused(inParent({"checklist", "--output", name}), "checklist " + name);
            refused(inParent({"backup", name, "--force"}), "backup " + name);
            QCOMPARE(digestOf(own.path()), digest);
            QVERIFY2(!QFile::exists(journal), qPrintable(name));
        }
        QCOMPARE(melbrin(QStringList {"members"} + ownDb).code, 0);
    }

    // A destination that is no regular file is refused, never written to or replaced.
    void outputsThatAreNoRegularFile()
    {
        const QString fifo = db.dir() + "/fifo";
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        Run r = melbrin(QStringList {"backup", fifo, "--force"} + on());
        refused(r, "backup onto a fifo");
        QVERIFY2(r.err.contains(QStringLiteral("regular")), qPrintable(r.err));
        struct stat info
        {
        };
        QCOMPARE(::stat(QFile::encodeName(fifo).constData(), &info), 0);
        QVERIFY(S_ISFIFO(info.st_mode));
        QVERIFY(hiddenIn(db.dir()).filter(QStringLiteral(".part")).isEmpty());

        for (const char* command : {"cards", "checklist"}) {
            r = melbrin(QStringList {command, "--output", "/dev/full"} + on());
            refused(r, QStringLiteral("%1 onto /dev/full").arg(command));
            QVERIFY2(r.err.contains(QStringLiteral("regular")), qPrintable(r.err));
        }
    }

    // The file system refuses to let the PDF grow (as a full disk would) part-way through:
    // the run fails with the reason and the earlier PDF stands as it was.
    void aPdfCutShortLeavesTheEarlierOne()
    {
        const QString folder = db.dir() + "/pdf";
        QVERIFY(QDir().mkpath(folder));
        const QString pdf = folder + "/cards.pdf";
        write(pdf, "an earlier PDF");

        rlimit saved {};
        getrlimit(RLIMIT_FSIZE, &saved);
        const auto previous = std::signal(SIGXFSZ, SIG_IGN); // inherited by the program
        rlimit small = saved;
        small.rlim_cur = 4 * 1024;
        setrlimit(RLIMIT_FSIZE, &small);
        const Run cards = melbrin(QStringList {"cards", "--output", pdf} + on());
        const Run list = melbrin(QStringList {"checklist", "--output", pdf} + on());
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);

        for (const Run& r : {cards, list}) {
            refused(r, QStringLiteral("a PDF cut short"));
            QVERIFY2(r.err.contains(QStringLiteral("large")), qPrintable(r.err));
        }
        QCOMPARE(hiddenIn(folder), QStringList {"cards.pdf"});
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("an earlier PDF"));
        file.close();

        // Without the limit the PDF takes the earlier one's place.
        QCOMPARE(melbrin(QStringList {"checklist", "--output", pdf} + on()).code, 0);
        QVERIFY(pdfText(pdf).contains(QStringLiteral("Member List")));
        QCOMPARE(hiddenIn(folder), QStringList {"cards.pdf"});
    }

    // What a killed backup left beside its destination goes when the next one starts; what
    // belongs to another destination stays.
    void aBackupClearsWhatAnEarlierRunLeft()
    {
        const QString folder = db.dir() + "/backups";
        QVERIFY(QDir().mkpath(folder));
        const QString left[]
            = {".copy.mdb.a1B2c3.part", ".copy.mdb.a1B2c3.part-journal", ".copy.mdb.Zz9yY8.part"};
        for (const QString& name : left)
            write(folder + "/" + name, "a copy cut short");
        write(folder + "/.other.mdb.a1B2c3.part", "another destination's");
        write(folder + "/copy.mdb.a1B2c3.part", "not hidden: not one of ours");

        QCOMPARE(melbrin(QStringList {"backup", folder + "/copy.mdb"} + on()).code, 0);
        QCOMPARE(hiddenIn(folder),
                 QStringList({".other.mdb.a1B2c3.part", "copy.mdb", "copy.mdb.a1B2c3.part"}));
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

    // The example staff list saved as .xlsx imports as its .xls original does; a protected
    // .xlsx is refused in one line that says so.
    void importOfAnXlsxWorkbook()
    {
        TempDatabase fromXls, fromXlsx;
        const auto at = [](const TempDatabase& d) { return QStringList {"--database", d.path()}; };
        QCOMPARE(melbrin(QStringList {"import", EXAMPLES_DIR "/import.xls"} + at(fromXls)).code, 0);
        Run r = melbrin(QStringList {"import", EXAMPLES_DIR "/import.xlsx"} + at(fromXlsx));
        QVERIFY2(r.code == 0, qPrintable(r.err));
        const Run listed = melbrin(QStringList {"members"} + at(fromXlsx));
        QVERIFY(listed.out.contains(QStringLiteral("陳大文")));
        QCOMPARE(listed.out, melbrin(QStringList {"members"} + at(fromXls)).out);

        const QString locked = fromXlsx.dir() + "/locked.xlsx";
        QVERIFY(QFile::copy(QStringLiteral(XLSX_FIXTURES_DIR "/password.xlsx"), locked));
        r = melbrin(QStringList {"import", locked} + at(fromXlsx));
        refused(r, QStringLiteral("a protected workbook"));
        QVERIFY2(r.err.contains(QStringLiteral("it is protected by a password")),
                 qPrintable(r.err));
        QCOMPARE(melbrin(QStringList {"members"} + at(fromXlsx)).out, listed.out);
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "CommandLineTest.moc"
