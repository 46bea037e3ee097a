// Names and group names that are SQL, wildcards, control characters or non-ASCII text go
// through Save, New group, the selected-member preview, the import and the command line
// and come back exactly as typed, without touching a look-alike stored beside them and
// without changing the schema.
#include "MainWindowFixture.h"
#include "RunMelbrin.h"
#include "data/Connection.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

struct Tricky
{
    const char* tag;
    QString text;
    // Stored beside it; a lookup that ignores case, treats % or _ as wildcards, drops
    // control characters or matches a prefix would find this one instead.
    QString lookAlike;
};

const std::vector<Tricky>& trickyNames()
{
    static const std::vector<Tricky> names {
        {"apostrophe", QStringLiteral("O'Brien"), QStringLiteral("o'brien")},
        {"double quote", QStringLiteral("Say \"cheese\""), QStringLiteral("say \"CHEESE\"")},
        {"statement and comment", QStringLiteral("x'); drop table stafftbl; --"),
         QStringLiteral("X'); DROP TABLE stafftbl; --")},
        {"percent", QStringLiteral("100%"), QStringLiteral("1000")},
        {"underscore", QStringLiteral("a_b"), QStringLiteral("axb")},
        {"bell", QStringLiteral("Ring\aBell"), QStringLiteral("RingBell")},
        {"tab", QStringLiteral("Tab\tStop"), QStringLiteral("Tab Stop")},
        {"Chinese", QStringLiteral("陳大文"), QStringLiteral("陳大")},
        {"accented", QStringLiteral("Renée Ørsted"), QStringLiteral("RENÉE ØRSTED")},
    };
    return names;
}

// Every row of a statement as text, read through a connection of its own.
QList<QStringList> rows(const QString& path, const QString& sql)
{
    data::Connection c;
    openDatabase(c, path);
    data::Query q(c, QStringLiteral("rows"));
    q.setSql(sql);
    q.open();
    QList<QStringList> result;
    for (int r = 0; r < q.rowCount(); ++r) {
        QStringList row;
        for (int col = 0; col < q.columnCount(); ++col)
            row << q.rowValue(r, q.columnName(col)).toString();
        result << row;
    }
    return result;
}

QList<QStringList> schema(const TempDatabase& db)
{
    return rows(db.path(),
                QStringLiteral("select type, name, sql from sqlite_master order by name"));
}

// group, name, cname, staffno of every member, in the order stored.
QList<QStringList> members(const TempDatabase& db)
{
    return rows(db.path(),
                QStringLiteral("select gdesc, name, cname, staffno from stafftbl left"
                               " join grptbl on stafftbl.gid = grptbl.gid order by"
                               " stafftbl.seq"));
}

// A group the way the program makes one: its gid is its seq. Values are bound.
int addGroup(const TempDatabase& db, const QString& name)
{
    data::Connection c;
    openDatabase(c, db.path());
    data::Query g(c, QStringLiteral("add group"));
    g.setSql(QStringLiteral("select * from grptbl where seq = 0"));
    g.open();
    g.append();
    g.setValue(QStringLiteral("gdesc"), name);
    g.setValue(QStringLiteral("gid"), 0);
    g.post();
    const int gid = g.asInt(QStringLiteral("seq"));
    g.edit();
    g.setValue(QStringLiteral("gid"), gid);
    g.post();
    return gid;
}

// Each look-alike as a group holding a member of that name, staff number "D<i>".
void storeLookAlikes(TempDatabase& db)
{
    int i = 0;
    for (const Tricky& t : trickyNames()) {
        addMember(db, addGroup(db, t.lookAlike), t.lookAlike, QStringLiteral("look-alike"),
                  QStringLiteral("D%1").arg(i++));
    }
}

QList<QStringList> lookAlikeRows()
{
    QList<QStringList> expected;
    int i = 0;
    for (const Tricky& t : trickyNames())
        expected << QStringList {t.lookAlike, t.lookAlike, QStringLiteral("look-alike"),
                                 QStringLiteral("D%1").arg(i++)};
    return expected;
}

// A RECORDS sheet of rows (GROUP, NAME, STAFF_ID, CHINESE_NAME), written by
// tests/exchange/make_workbook.py.
QString writeWorkbook(const QString& path, const QList<QStringList>& records)
{
    // Appended, not braced: compilers differ on whether {array} copies the array or nests it.
    QJsonArray sheetRows;
    sheetRows.append(QJsonArray {"GROUP", "NAME", "STAFF_ID", "CHINESE_NAME"});
    for (const QStringList& r : records)
        sheetRows << QJsonArray::fromStringList(r);
    const QJsonObject sheet {{"name", "RECORDS"}, {"rows", sheetRows}};
    QProcess p;
    p.start(QStringLiteral(XLWT_PYTHON), {QStringLiteral(MAKE_WORKBOOK), path});
    p.write(QJsonDocument(QJsonObject {{"sheets", QJsonArray {sheet}}}).toJson());
    p.closeWriteChannel();
    p.waitForFinished();
    if (p.exitCode() != 0)
        qFatal("make_workbook.py: %s", p.readAllStandardError().constData());
    return path;
}

} // namespace

class InjectionTest : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::Australia)); }

    void throughTheWindow_data()
    {
        QTest::addColumn<QString>("text");
        for (const Tricky& t : trickyNames())
            QTest::newRow(t.tag) << t.text;
    }
    // New group and Save with the text as group, name and Chinese name; Save again finds it
    // (one question) and the preview of the selected member prints that member alone.
    void throughTheWindow()
    {
        QFETCH(QString, text);
        MainWindowFixture f(storeLookAlikes);
        const QList<QStringList> schemaBefore = schema(f.db);

        f.answers.enter(text);
        f.w->bNewGrpClick();
        QCOMPARE(f.w->lstGroup->currentText(), text);
        QCOMPARE(rows(f.db.path(),
                      QStringLiteral("select gdesc from grptbl where gid = seq"
                                     " order by seq"))
                     .last(),
                 QStringList {text});

        f.answers.clear();
        f.w->ClearDetails();
        f.w->eName->setText(text);
        f.w->eCname->setText(text);
        f.w->eStaffNo->setText(QStringLiteral("T"));
        f.w->bSaveClick();
        QVERIFY(f.answers.questions().isEmpty()); // the look-alike is not taken for it
        QCOMPARE(f.listed(), QStringList {text});
        QList<QStringList> expected = lookAlikeRows();
        expected << QStringList {text, text, text, QStringLiteral("T")};
        QCOMPARE(members(f.db), expected);

        f.w->dbgInfo->selectRow(0);
        f.w->dbgInfoCellClick();
        QCOMPARE(f.w->eName->text(), text);
        f.w->eStaffNo->setText(QStringLiteral("T2"));
        f.answers.confirmWith(true);
        f.w->bSaveClick();
        QCOMPARE(f.answers.questions(), QStringList {"Overwrite the record?"});
        expected.last()[3] = QStringLiteral("T2");
        QCOMPARE(members(f.db), expected);

        QStringList previewed;
        f.answers.onPreview = [&](const data::Answers::Render&) {
            data::Query& list = f.dsrc.QList;
            for (list.first(); !list.eof(); list.next())
                previewed << list.asString(QStringLiteral("name"));
        };
        f.w->dbgInfo->selectRow(0);
        f.w->dbgInfoCellClick();
        f.w->bPreview->click();
        QCOMPARE(f.answers.previews, 1);
        QVERIFY(f.answers.texts().isEmpty());
        QCOMPARE(previewed, QStringList {text});

        QCOMPARE(schema(f.db), schemaBefore);
    }

    // One workbook holding every text as group, name and Chinese name, imported beside the
    // look-alikes; then each is listed by `members --group` and printed by `cards --member`.
    void importAndCommandLine()
    {
        TempDatabase db;
        storeLookAlikes(db);
        const QList<QStringList> schemaBefore = schema(db);
        QList<QStringList> records;
        int i = 0;
        for (const Tricky& t : trickyNames())
            records << QStringList {t.text, t.text, QStringLiteral("T%1").arg(i++), t.text};
        const QString workbook = writeWorkbook(db.dir() + QStringLiteral("/tricky.xls"), records);
        const QStringList on {QStringLiteral("--database"), db.path()};

        const Run imported = melbrin(QStringList {QStringLiteral("import"), workbook} + on);
        QCOMPARE(imported.err, QString());
        QCOMPARE(imported.code, 0);
        QList<QStringList> expected = lookAlikeRows();
        for (const QStringList& r : records)
            expected << QStringList {r[0], r[1], r[3], r[2]};
        QCOMPARE(members(db), expected);
        QCOMPARE(schema(db), schemaBefore);

        i = 0;
        for (const Tricky& t : trickyNames()) {
            const QString staffNo = QStringLiteral("T%1").arg(i++);
            const Run listed = melbrin(
                QStringList {QStringLiteral("members"), QStringLiteral("--group"), t.text} + on);
            QCOMPARE(listed.code, 0);
            const QStringList lines = listed.out.split(u'\n', Qt::SkipEmptyParts);
            QCOMPARE(lines.size(), 2);
            // The listing is tab-separated: a tab inside a value is shown as a blank.
            QString shown = t.text;
            shown.replace(u'\t', u' ');
            QCOMPARE(lines[1].split(u'\t').mid(0, 4), (QStringList {shown, staffNo, shown, shown}));

            const QString pdf = db.dir() + QStringLiteral("/card.pdf");
            QFile::remove(pdf);
            const Run printed
                = melbrin(QStringList {QStringLiteral("cards"), QStringLiteral("--member"), t.text,
                                       QStringLiteral("--output"), pdf}
                          + on);
            QCOMPARE(printed.err, QString());
            QCOMPARE(printed.code, 0);
            // One card: the member's own staff number, none of a look-alike's.
            const QString cards = pdfText(pdf);
            QCOMPARE(cards.count(QStringLiteral("Staff No ")), 1);
            QVERIFY2(cards.contains(QStringLiteral("Staff No ") + staffNo + u'\n'),
                     qPrintable(cards));
        }
        QCOMPARE(members(db), expected);
        QCOMPARE(schema(db), schemaBefore);
    }
};

QTEST_MAIN(InjectionTest)
#include "InjectionTest.moc"
