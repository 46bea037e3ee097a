#include "CopyFixture.h"

#include "cards/LabelStream.h"
#include "data/Connection.h"
#include "data/Engine.h"
#include "data/Query.h"
#include "data/Tdsrc.h"

#include <QFile>

namespace {

QByteArray fixture(const char* name)
{
    QFile file(QStringLiteral(PHOTO_FIXTURES "/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", name);
    return file.readAll();
}

// Runs a single-table query and stores one new row with the given values.
void appendRow(data::Connection& c, const QString& table, const QVariantMap& values)
{
    data::Query q(c, QStringLiteral("fill"));
    q.setSql(QStringLiteral("select * from %1 where 1 = 0").arg(table));
    q.open();
    q.append();
    for (auto it = values.begin(); it != values.end(); ++it)
        q.setValue(it.key(), it.value());
    q.post();
}

void run(data::Connection& c, const QString& sql, const QVariantList& values = {})
{
    const auto stmt = c.engine().prepare(sql);
    for (int i = 0; i < values.size(); ++i)
        stmt->bind(i + 1, values.at(i));
    while (stmt->step()) { }
}

} // namespace

void openCardDatabase(data::Connection& connection, const QString& dataSource)
{
    connection.setConnectionString(
        data::buildConnectionString(dataSource, data::Tdsrc::password()));
    connection.open();
}

void fillCardDatabase(data::Connection& c)
{
    c.beginTransaction();
    // Groups 2 to 4, then 3 removed: new groups must not take 3 again. "Legacy" came from an
    // older file, where group numbers were given by hand.
    for (const char* name : {"Sales", "Temporary", "Works", "Legacy"})
        appendRow(c, QStringLiteral("grptbl"), {{"gdesc", QString::fromUtf8(name)}, {"gid", 0}});
    run(c, QStringLiteral("update grptbl set gid = seq where gdesc <> ?"),
        {QStringLiteral("DEFAULT")});
    run(c, QStringLiteral("update grptbl set gid = 77 where gdesc = ?"),
        {QStringLiteral("Legacy")});
    run(c, QStringLiteral("delete from grptbl where gdesc = ?"), {QStringLiteral("Temporary")});

    struct Member
    {
        int gid;
        const char* name;
        const char* cname;
        const char* staffno;
        const char* photo;
        const char* changed;
        const char* printed;
    };
    const Member members[] = {
        {2, "Chan Tai Man", "陳大文", "S001", "bands-landscape.jpg", "2024-03-05T08:00:00Z",
         "2024-03-06T09:30:00Z"},
        {2, "Gone Member", "", "S002", nullptr, nullptr, nullptr},
        {4, "lee siu ming", "李小明", "W-17", "bands-tall.jpg", "2024-04-01T10:00:00Z", nullptr},
        {77, "Ada Ng", "吳愛達", "0042", "yellow-3x4.bmp", nullptr, "2023-12-31T23:59:59Z"},
        {0, "No Photo", "", "", nullptr, nullptr, nullptr},
    };
    for (const Member& m : members) {
        QVariantMap values {{"gid", m.gid},
                            {"cardno", 0},
                            {"name", QString::fromUtf8(m.name)},
                            {"cname", QString::fromUtf8(m.cname)},
                            {"staffno", QString::fromUtf8(m.staffno)},
                            {"post", QStringLiteral("Clerk")},
                            {"datejoin", QStringLiteral("5/03/2004")},
                            {"expiry", QStringLiteral("5/03/2029")},
                            {"remark", QStringLiteral("line one\r\nline two")}};
        if (m.photo)
            values.insert(QStringLiteral("photo"), fixture(m.photo));
        if (m.changed)
            values.insert(QStringLiteral("changedutc"), QString::fromLatin1(m.changed));
        if (m.printed)
            values.insert(QStringLiteral("printedutc"), QString::fromLatin1(m.printed));
        appendRow(c, QStringLiteral("stafftbl"), values);
    }
    run(c, QStringLiteral("delete from stafftbl where name = ?"), {QStringLiteral("Gone Member")});

    run(c, QStringLiteral("update fields set uname = ? where fname = ?"),
        {QStringLiteral("Employee No"), QStringLiteral("staffno")});

    cards::LabelProperties label;
    label.font.name = QStringLiteral("DejaVu Serif");
    label.font.height = -19;
    label.font.color = 0x0000FF;
    label.font.charset = 0;
    label.font.style = cards::LabelFont::Style::Bold;
    data::Query param(c, QStringLiteral("param"));
    param.setSql(QStringLiteral("select * from param"));
    param.open();
    param.edit();
    param.setBlob(QStringLiteral("bitmap"), fixture("bands-landscape.jpg"));
    param.setBlob(QStringLiteral("font"), cards::LabelStream::write(label));
    const QVariantMap flags {
        {"f1", 3},       {"f2", 1},        {"f3", 2},           {"f4", 8},
        {"f5", 6},       {"f6", 0},        {"f7", 4},           {"printback", false},
        {"style", 2},    {"lines", false}, {"captions", false}, {"position", 37.25},
        {"custom", true}};
    for (auto it = flags.begin(); it != flags.end(); ++it)
        param.setValue(it.key(), it.value());
    param.post();

    for (const auto& [key, value] :
         {std::pair {"card.watermark", "CONFIDENTIAL"}, std::pair {"card.code.kind", "qr"}})
        appendRow(c, QStringLiteral("settings"),
                  {{"key", QString::fromLatin1(key)}, {"value", QString::fromLatin1(value)}});
    c.commit();
}

QList<TableDump> dumpCardTables(const QString& dataSource, const QStringList& leaveOut)
{
    data::Connection c;
    openCardDatabase(c, dataSource);
    data::Engine& engine = c.engine();
    QList<TableDump> dumps;
    for (const char* name : {"grptbl", "stafftbl", "fields", "param", "settings"}) {
        const QString table = QString::fromLatin1(name);
        if (!engine.hasTable(table))
            continue;
        TableDump dump {table, {}, {}};
        const data::TableInfo info = engine.tableInfo(table);
        for (const data::TableInfo::Column& column : info.columns) {
            if (column.name.compare(info.version, Qt::CaseInsensitive) != 0
                && !leaveOut.contains(table + u'.' + column.name.toLower()))
                dump.columns << column.name.toLower();
        }
        const auto read
            = engine.prepare(QStringLiteral("select %1 from %2 order by %3")
                                 .arg(dump.columns.join(u", "), table, engine.rowIdColumn(table)));
        while (read->step()) {
            QVariantList row;
            for (int i = 0; i < dump.columns.size(); ++i)
                row << read->value(i);
            dump.rows << row;
        }
        dumps << dump;
    }
    return dumps;
}

QString firstDifference(const QList<TableDump>& a, const QList<TableDump>& b)
{
    for (qsizetype t = 0; t < std::min(a.size(), b.size()); ++t) {
        const TableDump& x = a.at(t);
        const TableDump& y = b.at(t);
        if (x.columns != y.columns)
            return QStringLiteral("%1: columns %2 / %3")
                .arg(x.table, x.columns.join(u','), y.columns.join(u','));
        if (x.rows.size() != y.rows.size())
            return QStringLiteral("%1: %2 / %3 rows")
                .arg(x.table)
                .arg(x.rows.size())
                .arg(y.rows.size());
        for (qsizetype r = 0; r < x.rows.size(); ++r) {
            for (qsizetype c = 0; c < x.columns.size(); ++c) {
                const QVariant& u = x.rows.at(r).at(c);
                const QVariant& v = y.rows.at(r).at(c);
                if (u != v || u.typeId() != v.typeId())
                    return QStringLiteral("%1 row %2 %3: %4 (%5) / %6 (%7)")
                        .arg(x.table)
                        .arg(r)
                        .arg(x.columns.at(c), u.toString().left(40),
                             QString::fromLatin1(u.typeName()), v.toString().left(40),
                             QString::fromLatin1(v.typeName()));
            }
        }
    }
    return a.size() == b.size() ? QString() : QStringLiteral("table count differs");
}

qint64 nextGroupNumber(const QString& dataSource)
{
    data::Connection c;
    openCardDatabase(c, dataSource);
    return c.engine().nextRowNumber(QStringLiteral("grptbl"));
}
