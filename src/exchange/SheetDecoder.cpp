#include "SheetDecoder.h"

#include "data/Utils.h"

#include <QDateTime>
#include <QTimeZone>

namespace exchange {

QVariant SheetDecoder::toVariant(const wire::Cell& cell)
{
    switch (cell.kind) {
    case wire::CellKind::Empty:
        return {};
    case wire::CellKind::Number:
        return cell.number;
    case wire::CellKind::Text:
        return QString::fromUtf8(cell.text.data(), qsizetype(cell.text.size()));
    case wire::CellKind::DateTime: {
        const QString text = QString::fromUtf8(cell.text.data(), qsizetype(cell.text.size()));
        const QDate date = QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd"));
        if (date.isValid() && text.size() == 10)
            return QDateTime(date, QTime(0, 0), QTimeZone::utc());
        const QTime time = QTime::fromString(text.right(8), QStringLiteral("HH:mm:ss"));
        if (time.isValid() && text.size() == 8)
            return QDateTime(QDate(1899, 12, 30), time, QTimeZone::utc());
        if (date.isValid() && time.isValid() && text.size() == 19 && text.at(10) == u' ')
            return QDateTime(date, time, QTimeZone::utc());
        return text; // a form the reader should not send: kept as the text it is
    }
    }
    return {};
}

void SheetDecoder::begin(std::uint32_t rows, std::uint32_t columns)
{
    m_columns = columns;
    m_headings.clear();
    m_rows.clear();
    m_rows.reserve(rows > 0 ? rows - 1 : 0);
    m_row.clear();
    m_headingRow = true;
    // A sheet with records but no headings has no cells to send: its records are still
    // there, with nothing in them.
    if (columns == 0 && rows > 1)
        m_rows.resize(rows - 1);
}

void SheetDecoder::cell(const wire::Cell& cell)
{
    m_row.push_back(toVariant(cell));
    if (m_row.size() < m_columns)
        return;
    if (m_headingRow) {
        for (const QVariant& v : m_row) {
            QString text;
            data::FieldAsString(v, text);
            m_headings << text;
        }
        m_headingRow = false;
    } else {
        m_rows.push_back(std::move(m_row));
    }
    m_row = {};
    m_row.reserve(m_columns);
}

SheetTable SheetDecoder::take()
{
    return SheetTable(std::move(m_headings), std::move(m_rows));
}

} // namespace exchange
