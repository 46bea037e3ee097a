// The command line in-process, with a secret store held in memory: what a rekey does to the
// passphrase remembered for the database, and opening with the remembered one.
#include "MemoryKeyStore.h"
#include "TempDatabase.h"
#include "app/cli/CommandLine.h"
#include "data/DatabaseKey.h"
#include "data/KeyStore.h"

#include <QFile>
#include <QTest>

class CommandLineKeysTest : public QObject
{
    Q_OBJECT

    TempDatabase db;

    QString passphraseFile(const QString& name, const QString& passphrase) const
    {
        const QString path = db.dir() + u'/' + name;
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(passphrase.toUtf8());
        return path;
    }
    int run(const QStringList& args) const
    {
        return app::cli::run(QStringList {QStringLiteral("melbrin")} + args
                             + QStringList {QStringLiteral("--database"), db.path()});
    }

private slots:
    void aRekeyKeepsWhatThisComputerRemembers()
    {
        MemoryKeyStore store;
        const QString name = data::keyStoreName(db.path());
        const QString own = passphraseFile(QStringLiteral("own.txt"), QStringLiteral("own one"));
        const QString other = passphraseFile(QStringLiteral("other.txt"), QStringLiteral("other"));

        // Nothing remembered: nothing is remembered afterwards either.
        QCOMPARE(run({"rekey", "--new-passphrase-file", own}), 0);
        QVERIFY(store.entries.isEmpty());
        QVERIFY(data::keyOpens(db.path(), QStringLiteral("own one")));

        // The remembered passphrase opens the file and is replaced by the new one.
        store.entries.insert(name, QStringLiteral("own one"));
        QCOMPARE(run({"rekey", "--new-passphrase-file", other}), 0);
        QCOMPARE(store.entries.value(name), QStringLiteral("other"));
        QCOMPARE(run({"members"}), 0);

        // Back to the default key: the entry is forgotten.
        QCOMPARE(run({"rekey", "--default"}), 0);
        QVERIFY(store.entries.isEmpty());
        QVERIFY(data::keyOpens(db.path(), data::defaultKey()));

        // A failed rekey leaves the entry as it was.
        store.entries.insert(name, QStringLiteral("stale"));
        QCOMPARE(run({"rekey", "--passphrase-file", own, "--new-passphrase-file", other}), 1);
        QCOMPARE(store.entries.value(name), QStringLiteral("stale"));
        QVERIFY(data::keyOpens(db.path(), data::defaultKey()));
    }
};

QTEST_MAIN(CommandLineKeysTest)
#include "CommandLineKeysTest.moc"
