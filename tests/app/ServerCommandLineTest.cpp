// The command line on a server database, as on a file: import, list, print.
#include "PgServer.h"
#include "RunMelbrin.h"
#include "data/Connection.h"
#include "data/ServerSchema.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class ServerCommandLineTest : public QObject
{
    Q_OBJECT

private slots:
    void importListAndPrintOnAServer()
    {
        testsupport::PgServer* server = testsupport::PgServer::instance();
        if (!server)
            QSKIP(qPrintable(testsupport::PgServer::skipReason()));
        const QString address = server->address(server->createDatabase());
        {
            data::Connection c;
            c.setConnectionString(data::buildConnectionString(address, {}));
            c.open();
            data::createServerTables(c);
        }
        const QStringList on {QStringLiteral("--database"), address};
        Run r = melbrin(QStringList {"import", QStringLiteral(EXAMPLES_DIR "/import.xls")} + on);
        QVERIFY2(r.code == 0, qPrintable(r.err));
        r = melbrin(QStringList {"members", "--group", "Sales"} + on);
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY(r.out.startsWith(QStringLiteral("group\tstaff no\tname\t")));
        QVERIFY2(r.out.contains(QStringLiteral("陳大文")), qPrintable(r.out));
        r = melbrin(QStringList {"members", "--find", "chan tai"} + on);
        QVERIFY2(r.out.contains(QStringLiteral("Chan Tai Man")), qPrintable(r.out + r.err));

        QTemporaryDir dir;
        const QString one = dir.filePath(QStringLiteral("one.pdf"));
        r = melbrin(QStringList {"cards", "--output", one, "--member", "Chan Tai Man"} + on);
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY(pdfText(one).contains(QStringLiteral("Chan Tai Man")));
        QVERIFY(!pdfText(one).contains(QStringLiteral("Lee Siu Ming")));

        // The server's accounts protect it: the passphrase options are not read, there is no
        // key to change, and a backup is keyed as asked.
        const QString keyFile = dir.filePath(QStringLiteral("key.txt"));
        r = melbrin(QStringList {"members", "--passphrase-file", keyFile} + on);
        QVERIFY2(r.code == 0, qPrintable(r.err));
        r = melbrin(QStringList {"rekey", "--default"} + on);
        QCOMPARE(r.code, 1);
        QCOMPARE(r.err,
                 QStringLiteral("melbrin: A database on a server has no password of its "
                                "own; the server's accounts protect it.\n"));
        {
            QFile key(keyFile);
            QVERIFY(key.open(QIODevice::WriteOnly));
            key.write("server copy's own\n");
        }
        const QString copy = dir.filePath(QStringLiteral("copy.mdb"));
        r = melbrin(QStringList {"backup", copy, "--new-passphrase-file", keyFile} + on);
        QCOMPARE(r.err,
                 QStringLiteral("melbrin: Database saved. The copy is protected by this "
                                "database's own password.\n"));
        r = melbrin({"members", "--database", copy, "--passphrase-file", keyFile});
        QVERIFY2(r.out.contains(QStringLiteral("陳大文")), qPrintable(r.err));
        QCOMPARE(melbrin({"members", "--database", copy}).code, 1);

        // A server that is not there: one line that names the address and the reason.
        r = melbrin(QStringList {"members", "--database",
                                 QStringLiteral("postgresql://melbrin@127.0.0.1:1/none")});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.startsWith(QStringLiteral(
                     "melbrin: Cannot connect to 'postgresql://melbrin@127.0.0.1:1/none': ")),
                 qPrintable(r.err));
    }
};

QTEST_GUILESS_MAIN(ServerCommandLineTest)
#include "ServerCommandLineTest.moc"
