#include "Commands.h"
#include "data/Engine.h"
#include "data/Error.h"
#include "data/MemberSearch.h"
#include "data/Tdsrc.h"
#include "imaging/Jpeg.h"

#include <QTextStream>

namespace app::cli {
namespace {

// The stored photo's declared size; empty for no photo, and for a value that is no picture
// (a number or a text in the column, bytes without a JPEG header).
QString photoSize(const data::Query& q)
{
    QByteArray jpeg;
    try {
        jpeg = q.blob(QStringLiteral("photo"));
    } catch (const data::Error&) {
        return {};
    }
    if (jpeg.isEmpty())
        return {};
    const QSize size = imaging::jpegSize(jpeg);
    return size.isValid() ? QStringLiteral("%1x%2").arg(size.width()).arg(size.height())
                          : QString();
}

// Tabs and line breaks inside a value would break the columns.
QString cell(const QVariant& v)
{
    QString text = v.isNull() ? QString() : v.toString();
    for (QChar& ch : text) {
        if (ch == u'\t' || ch == u'\n' || ch == u'\r')
            ch = u' ';
    }
    return text;
}

// The rows of q with a heading line, tab-separated.
int printMembers(Context& c, data::Query& q)
{
    q.open();
    QTextStream out(c.out);
    out.setEncoding(QStringConverter::Utf8);
    out << "group\tstaff no\tname\tChinese name\tpost\tdate join\texpiry\tremark\tphoto\n";
    for (q.first(); !q.eof(); q.next()) {
        QStringList row;
        for (const char* column :
             {"gdesc", "staffno", "name", "cname", "post", "datejoin", "expiry", "remark"})
            row << cell(q.value(QString::fromLatin1(column)));
        row << photoSize(q);
        out << row.join(u'\t') << '\n';
    }
    return 0;
}

} // namespace

int listMembers(Context& c, const QString& group)
{
    data::Query q(c.dsrc.src, QStringLiteral("members"));
    QStringList sql {QStringLiteral("select * from stafftbl"),
                     QStringLiteral("left join grptbl on stafftbl.gid=grptbl.gid")};
    if (!group.isNull()) {
        sql << QStringLiteral("where grptbl.gdesc = :group collate %1")
                   .arg(c.dsrc.src.engine().exactCollation());
        q.setSql(sql << QStringLiteral("order by gdesc, name"));
        q.setParameter(QStringLiteral("group"), group);
    } else {
        q.setSql(sql << QStringLiteral("order by gdesc, name"));
    }
    return printMembers(c, q);
}

int findMembers(Context& c, const QString& text)
{
    // The main window's search, in its first order (by name).
    data::Query q(c.dsrc.src, QStringLiteral("members"));
    q.setSql(QStringList {QStringLiteral("select * from stafftbl"),
                          QStringLiteral("left join grptbl on stafftbl.gid=grptbl.gid where"),
                          data::memberSearchCondition(c.dsrc.src),
                          QStringLiteral("order by stafftbl.name, stafftbl.seq")});
    q.setParameter(data::memberSearchParameter(), text);
    return printMembers(c, q);
}

} // namespace app::cli
