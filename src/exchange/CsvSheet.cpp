#include "CsvSheet.h"

#include "CsvDates.h"
#include "data/Error.h"

#include <QDir>

namespace exchange {
namespace {

// Bounds that keep a hostile file from taking all memory: more columns than a workbook can
// have, or more fields than a full .xls sheet holds, are refused.
constexpr qsizetype maxColumns = 16384;
constexpr qint64 maxFields = 65536LL * 256;

[[noreturn]] void refuse(const QString& fileName, const QString& reason)
{
    throw data::Error(
        QStringLiteral("Cannot import '%1': %2").arg(QDir::toNativeSeparators(fileName), reason));
}

// Line breaks are LF, CR LF or a lone CR; counting LFs and lone CRs counts them all.
int lineAt(const char16_t* text, qsizetype end)
{
    int line = 1;
    for (qsizetype i = 0; i < end; ++i) {
        if (text[i] == u'\n' || (text[i] == u'\r' && (i + 1 == end || text[i + 1] != u'\n')))
            ++line;
    }
    return line;
}

int lineAt(const QByteArray& bytes, qsizetype end)
{
    int line = 1;
    for (qsizetype i = 0; i < end; ++i) {
        if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 == end || bytes[i + 1] != '\n')))
            ++line;
    }
    return line;
}

// The length of the well-formed UTF-8 sequence at bytes[at] (Unicode's table of well-formed
// byte sequences: no overlong forms, no surrogates, nothing past U+10FFFF), 0 if there is none.
int utf8SequenceAt(const QByteArray& bytes, qsizetype at)
{
    const auto byte = [&bytes](qsizetype i) { return i < bytes.size() ? uchar(bytes[i]) : 0; };
    const uchar lead = byte(at);
    if (lead < 0x80)
        return 1;
    int length = 0;
    uchar low = 0x80, high = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (byte(at + 1) < low || byte(at + 1) > high)
        return 0;
    for (int i = 2; i < length; ++i) {
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF)
            return 0;
    }
    return length;
}

QString decodeUtf8(const QByteArray& bytes, qsizetype start, const QString& fileName)
{
    for (qsizetype i = start; i < bytes.size();) {
        const int length = utf8SequenceAt(bytes, i);
        if (length == 0)
            refuse(fileName,
                   QStringLiteral("line %1 is not UTF-8 text; save the file as UTF-8 or as "
                                  "Unicode text")
                       .arg(lineAt(bytes, i)));
        if (bytes[i] == '\0')
            refuse(fileName,
                   QStringLiteral("line %1 holds a zero byte, which no text has (UTF-16 text "
                                  "needs its byte order mark)")
                       .arg(lineAt(bytes, i)));
        i += length;
    }
    return QString::fromUtf8(bytes.constData() + start, bytes.size() - start);
}

QString decodeUtf16(const QByteArray& bytes, bool bigEndian, const QString& fileName)
{
    const qsizetype units = (bytes.size() - 2) / 2;
    QString text(units, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (qsizetype i = 0; i < units; ++i) {
        const uchar first = uchar(bytes[2 + 2 * i]), second = uchar(bytes[3 + 2 * i]);
        out[i] = bigEndian ? char16_t(first << 8 | second) : char16_t(second << 8 | first);
    }
    for (qsizetype i = 0; i < units; ++i) {
        const bool high = QChar::isHighSurrogate(out[i]);
        const bool paired = high && i + 1 < units && QChar::isLowSurrogate(out[i + 1]);
        if ((high && !paired) || QChar::isLowSurrogate(out[i]) || out[i] == 0)
            refuse(fileName, QStringLiteral("line %1 is not UTF-16 text").arg(lineAt(out, i)));
        if (paired)
            ++i;
    }
    if (bytes.size() % 2 != 0)
        refuse(fileName,
               QStringLiteral("line %1 is not UTF-16 text: the file ends within a character")
                   .arg(lineAt(out, units)));
    return text;
}

QString decode(const QByteArray& bytes, const QString& fileName)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return decodeUtf8(bytes, 3, fileName);
    if (bytes.startsWith("\xFF\xFE"))
        return decodeUtf16(bytes, false, fileName);
    if (bytes.startsWith("\xFE\xFF"))
        return decodeUtf16(bytes, true, fileName);
    return decodeUtf8(bytes, 0, fileName);
}

// The separator is the one of comma, semicolon and tab that the heading line has most often
// outside quotes; a tab before a semicolon before a comma when as many; a comma when none.
char16_t findSeparator(QStringView text)
{
    qsizetype commas = 0, semicolons = 0, tabs = 0;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && (c == u'\n' || c == u'\r'))
            break;
        else if (!quoted && c == u',')
            ++commas;
        else if (!quoted && c == u';')
            ++semicolons;
        else if (!quoted && c == u'\t')
            ++tabs;
    }
    if (tabs > 0 && tabs >= semicolons && tabs >= commas)
        return u'\t';
    if (semicolons > 0 && semicolons >= commas)
        return u';';
    return u',';
}

// Splits the text into records of fields as RFC 4180 has them, keeping count of lines.
class Records
{
public:
    Records(QStringView text, const QString& fileName)
        : m_text(text)
        , m_fileName(fileName)
        , m_separator(findSeparator(text))
    { }

    struct Record
    {
        int line = 0; // where it begins
        bool blank = false; // an empty line: no characters at all
        qsizetype count = 0; // of its fields
        QStringList fields; // the first ones, up to the number kept
    };

    // The next record, or false at the end of the text. Fields past the number kept are
    // counted, not kept.
    bool next(Record& record);
    void keepFields(qsizetype count) { m_keep = count; }

private:
    void readQuoted(QString& field);
    // Passes a line break at the current position, if there is one.
    bool passLineBreak();

    QStringView m_text;
    const QString& m_fileName;
    char16_t m_separator;
    qsizetype m_keep = maxColumns + 1;
    qsizetype m_pos = 0;
    int m_line = 1;
};

bool Records::passLineBreak()
{
    if (m_pos >= m_text.size())
        return false;
    if (m_text[m_pos] == u'\r') {
        ++m_pos;
        if (m_pos < m_text.size() && m_text[m_pos] == u'\n')
            ++m_pos;
    } else if (m_text[m_pos] == u'\n') {
        ++m_pos;
    } else {
        return false;
    }
    ++m_line;
    return true;
}

void Records::readQuoted(QString& field)
{
    const int begins = m_line;
    ++m_pos; // the opening quote
    for (;;) {
        qsizetype run = m_pos;
        while (run < m_text.size() && m_text[run] != u'"' && m_text[run] != u'\r'
               && m_text[run] != u'\n')
            ++run;
        field += m_text.sliced(m_pos, run - m_pos);
        m_pos = run;
        if (m_pos >= m_text.size())
            refuse(m_fileName,
                   QStringLiteral("the quoted field that begins on line %1 has no closing quote")
                       .arg(begins));
        if (passLineBreak()) {
            field += u'\n'; // as a workbook cell holds a line break
            continue;
        }
        ++m_pos;
        if (m_pos < m_text.size() && m_text[m_pos] == u'"') {
            field += u'"';
            ++m_pos;
            continue;
        }
        return;
    }
}

bool Records::next(Record& record)
{
    if (m_pos >= m_text.size())
        return false;
    record.line = m_line;
    record.fields.clear();
    record.count = 0;
    record.blank = m_text[m_pos] == u'\r' || m_text[m_pos] == u'\n';
    for (;;) {
        QString field;
        if (m_pos < m_text.size() && m_text[m_pos] == u'"')
            readQuoted(field);
        // Unquoted text, and whatever follows a closing quote, is taken as it stands.
        qsizetype run = m_pos;
        while (run < m_text.size() && m_text[run] != m_separator && m_text[run] != u'\r'
               && m_text[run] != u'\n')
            ++run;
        field += m_text.sliced(m_pos, run - m_pos);
        m_pos = run;
        if (record.fields.size() < m_keep)
            record.fields.append(field);
        ++record.count;
        if (m_pos < m_text.size() && m_text[m_pos] == m_separator) {
            ++m_pos;
            continue;
        }
        passLineBreak();
        return true;
    }
}

QVariant cellOf(const QString& field, bool dateColumn)
{
    if (field.isEmpty())
        return {};
    if (dateColumn) {
        if (const std::optional<QDateTime> date = readCsvDate(field))
            return *date;
    }
    return field;
}

} // namespace

SheetTable readCsvSheet(const QByteArray& bytes, const QString& fileName)
{
    const QString text = decode(bytes, fileName);
    Records records(text, fileName);
    Records::Record record;
    if (!records.next(record))
        return {};
    const QStringList headings = record.fields;
    if (record.count > maxColumns)
        refuse(fileName,
               QStringLiteral("its heading line has more than %1 columns").arg(maxColumns));
    // The joining date is the one column whose text is read as a workbook's date cell would be.
    const int dateColumn = SheetTable(headings, {}).column(QStringLiteral("DATE_JOIN"));
    records.keepFields(headings.size());

    std::vector<std::vector<QVariant>> rows;
    qint64 fields = 0;
    qsizetype blankLines = 0; // not yet known to lie before another record
    while (records.next(record)) {
        if (record.blank) {
            ++blankLines;
            continue;
        }
        if (record.count > headings.size())
            refuse(fileName,
                   QStringLiteral("line %1 has %2 fields, but the heading line has only %3")
                       .arg(record.line)
                       .arg(record.count)
                       .arg(headings.size()));
        // Empty fields at the end are left out: a row reads Null past its end.
        qsizetype used = record.fields.size();
        while (used > 0 && record.fields[used - 1].isEmpty())
            --used;
        fields += blankLines + used + 1;
        if (fields > maxFields)
            refuse(fileName,
                   QStringLiteral("it has more fields than a workbook sheet holds (at line %1)")
                       .arg(record.line));
        // A blank line between records is an empty row, as a workbook's empty row is.
        for (; blankLines > 0; --blankLines)
            rows.emplace_back();
        std::vector<QVariant> row;
        row.reserve(size_t(used));
        for (qsizetype i = 0; i < used; ++i)
            row.push_back(cellOf(record.fields[i], i == dateColumn));
        rows.push_back(std::move(row));
    }
    return SheetTable(headings, std::move(rows));
}

} // namespace exchange
