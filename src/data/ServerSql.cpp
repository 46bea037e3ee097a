#include "ServerSql.h"

#include <QRegularExpression>
#include <algorithm>

namespace data {
namespace {

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

// The end of a quoted run opened at i by quote; a doubled quote stands for one.
qsizetype endOfQuoted(const QString& sql, qsizetype i, QChar quote)
{
    const qsizetype n = sql.size();
    for (++i; i < n; ++i) {
        if (sql.at(i) == quote) {
            if (i + 1 < n && sql.at(i + 1) == quote)
                ++i;
            else
                return i + 1;
        }
    }
    return n;
}

// "$tag$ ... $tag$" opened at i; -1 when no dollar quote starts there.
qsizetype endOfDollarQuote(const QString& sql, qsizetype i)
{
    qsizetype j = i + 1;
    while (j < sql.size()
           && (sql.at(j).isLetter() || sql.at(j) == u'_' || (j > i + 1 && sql.at(j).isDigit())))
        ++j;
    if (j >= sql.size() || sql.at(j) != u'$')
        return -1;
    const QString tag = sql.mid(i, j - i + 1);
    const qsizetype close = sql.indexOf(tag, j + 1);
    return close < 0 ? sql.size() : close + tag.size();
}

} // namespace

ServerSql translateParameters(const QString& sql)
{
    ServerSql result;
    QString out;
    out.reserve(sql.size() + 8);
    const qsizetype n = sql.size();
    const auto number = [&](const QString& name) {
        if (!name.isEmpty()) {
            const auto it = std::find(result.names.begin(), result.names.end(), name);
            if (it != result.names.end())
                return int(it - result.names.begin()) + 1;
        }
        result.names.push_back(name);
        return int(result.names.size());
    };
    qsizetype i = 0;
    while (i < n) {
        const QChar c = sql.at(i);
        const QChar next = i + 1 < n ? sql.at(i + 1) : QChar();
        qsizetype end = -1;
        if (c == u'\'' || c == u'"') {
            end = endOfQuoted(sql, i, c);
        } else if (c == u'-' && next == u'-') {
            end = sql.indexOf(u'\n', i);
            end = end < 0 ? n : end;
        } else if (c == u'/' && next == u'*') {
            end = sql.indexOf(QStringLiteral("*/"), i + 2);
            end = end < 0 ? n : end + 2;
        } else if (c == u'$' && (i == 0 || !isNameChar(sql.at(i - 1)))) {
            end = endOfDollarQuote(sql, i);
        } else if (c == u':' && next == u':') {
            end = i + 2;
        } else if (isNameChar(c)) {
            end = i + 1;
            while (end < n && isNameChar(sql.at(end)))
                ++end;
        }
        if (end > i) {
            out += QStringView(sql).mid(i, end - i);
            i = end;
            continue;
        }
        if (c == u'?') {
            qsizetype j = i + 1;
            while (j < n && sql.at(j).isDigit())
                ++j;
            int index = 0;
            if (j > i + 1) {
                index = sql.mid(i + 1, j - i - 1).toInt();
                if (index > int(result.names.size()))
                    result.names.resize(size_t(index));
            } else {
                index = number({});
            }
            out += u'$' + QString::number(index);
            i = j;
            continue;
        }
        if (c == u':' && (next.isLetter() || next == u'_')) {
            qsizetype j = i + 1;
            while (j < n && (sql.at(j).isLetterOrNumber() || sql.at(j) == u'_'))
                ++j;
            out += u'$' + QString::number(number(sql.mid(i + 1, j - i - 1)));
            i = j;
            continue;
        }
        out += c;
        ++i;
    }
    result.text = out.toUtf8();
    return result;
}

QString addressWithoutPassword(const QString& address)
{
    QString text = address;
    const qsizetype scheme = text.indexOf(QStringLiteral("://"));
    if (scheme >= 0) {
        const qsizetype start = scheme + 3;
        qsizetype end = start;
        while (end < text.size() && text.at(end) != u'/' && text.at(end) != u'?')
            ++end;
        const qsizetype at = text.lastIndexOf(u'@', end - 1);
        if (at >= start) {
            const qsizetype colon = text.indexOf(u':', start);
            if (colon >= 0 && colon < at)
                text.remove(colon, at - colon);
        }
    }
    static const QRegularExpression password(QStringLiteral("([?&])password=[^&]*&?"),
                                             QRegularExpression::CaseInsensitiveOption);
    text.replace(password, QStringLiteral("\\1"));
    if (text.endsWith(u'?') || text.endsWith(u'&'))
        text.chop(1);
    return text;
}

} // namespace data
