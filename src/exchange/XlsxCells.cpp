#include "XlsxCells.h"

#include "XlsxText.h"
#include "XlsxXml.h"
#include "ZipPackage.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>

namespace exchange::xlsx {
namespace {

using Kind = SheetCell::Kind;

[[noreturn]] void refuseCell(std::uint32_t row, std::uint32_t column, const std::string& what)
{
    throw PackageError("cell " + cellName(row, column) + " of its sheet " + what);
}

// A date cell's ISO 8601 text as the reader's stream writes dates.
std::string isoDateText(QStringView value)
{
    QDateTime when = QDateTime::fromString(value.trimmed().toString(), Qt::ISODateWithMs);
    if (!when.isValid()) {
        const QDate day = QDate::fromString(value.trimmed().toString(), Qt::ISODate);
        if (!day.isValid())
            return {};
        return day.toString(QStringLiteral("yyyy-MM-dd")).toStdString();
    }
    if (when.date().year() < 1 || when.date().year() > 9999)
        return {};
    const QTime t = when.time();
    if (t.hour() == 0 && t.minute() == 0 && t.second() == 0)
        return when.date().toString(QStringLiteral("yyyy-MM-dd")).toStdString();
    return when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString();
}

class CellsReader
{
public:
    CellsReader(ZipPackage& package, const std::string& part, std::size_t sharedStrings,
                const std::vector<biff::Shown>& formats)
        : m_xml(package, part)
        , m_sharedStrings(sharedStrings)
        , m_formats(formats)
    { }

    SheetCells read()
    {
        bool inData = false;
        std::uint64_t nextRow = 0;
        while (m_xml.next()) {
            if (m_xml.isStart(QLatin1StringView("sheetData"))) {
                inData = true;
            } else if (m_xml.isEnd(QLatin1StringView("sheetData"))) {
                inData = false;
            } else if (inData && m_xml.isStart(QLatin1StringView("row"))) {
                const QStringView r = m_xml.attribute(QLatin1StringView("r"));
                if (!r.isEmpty()) {
                    bool ok = false;
                    const qulonglong number = r.trimmed().toULongLong(&ok);
                    if (!ok || number == 0 || number > maxSheetRows)
                        throw PackageError("its sheet has a row numbered '"
                                           + r.toString().toStdString()
                                           + "', outside the largest sheet");
                    nextRow = number - 1;
                }
                if (nextRow >= maxSheetRows)
                    throw PackageError("its sheet has more rows than the largest sheet");
                m_row = std::uint32_t(nextRow++);
                m_nextColumn = 0;
            } else if (inData && m_xml.isStart(QLatin1StringView("c"))) {
                readCell();
            }
        }
        // Later cells of the same place replace earlier ones.
        std::stable_sort(m_out.cells.begin(), m_out.cells.end(),
                         [](const SheetCell& a, const SheetCell& b) {
                             return a.row != b.row ? a.row < b.row : a.column < b.column;
                         });
        std::vector<SheetCell> unique;
        unique.reserve(m_out.cells.size());
        for (const SheetCell& cell : m_out.cells) {
            if (!unique.empty() && unique.back().row == cell.row
                && unique.back().column == cell.column)
                unique.back() = cell;
            else
                unique.push_back(cell);
        }
        m_out.cells = std::move(unique);
        return std::move(m_out);
    }

private:
    std::uint32_t addText(std::string text)
    {
        m_out.texts.push_back(std::move(text));
        return std::uint32_t(m_out.texts.size() - 1);
    }

    // The texts of an inline string's runs, joined.
    QString inlineText()
    {
        QString text;
        while (m_xml.next() && !m_xml.isEnd(QLatin1StringView("is"))) {
            if (m_xml.isStart(QLatin1StringView("t")))
                text += m_xml.elementText();
            else if (m_xml.isStart(QLatin1StringView("rPh"))
                     || m_xml.isStart(QLatin1StringView("rPr")))
                m_xml.skipElement();
        }
        return text;
    }

    void readCell()
    {
        SheetCell cell;
        const QStringView reference = m_xml.attribute(QLatin1StringView("r"));
        if (!reference.isEmpty()) {
            const std::optional<CellReference> at = parseCellReference(reference.trimmed());
            if (!at)
                throw PackageError("its sheet has a cell at '" + reference.toString().toStdString()
                                   + "', outside the largest sheet");
            cell.row = at->row;
            cell.column = at->column;
        } else {
            if (m_nextColumn >= maxSheetColumns)
                throw PackageError("its sheet has more columns than the largest sheet");
            cell.row = m_row;
            cell.column = m_nextColumn;
        }
        m_nextColumn = cell.column + 1;
        const QString type = m_xml.attribute(QLatin1StringView("t")).toString();
        bool ok = false;
        const unsigned style = m_xml.attribute(QLatin1StringView("s")).toUInt(&ok);
        if (ok && style < m_formats.size())
            cell.shown = m_formats[style];

        bool formula = false;
        bool haveValue = false;
        bool haveInline = false;
        QString value;
        QString inlineString;
        while (m_xml.next() && !m_xml.isEnd(QLatin1StringView("c"))) {
            if (m_xml.isStart(QLatin1StringView("f"))) {
                formula = true;
                m_xml.skipElement();
            } else if (m_xml.isStart(QLatin1StringView("v"))) {
                haveValue = true;
                value = m_xml.elementText();
            } else if (m_xml.isStart(QLatin1StringView("is"))) {
                haveInline = true;
                inlineString = inlineText();
            } else if (m_xml.reader().isStartElement()) {
                m_xml.skipElement();
            }
        }

        if (haveInline && !formula) {
            cell.kind = Kind::Text;
            cell.text = addText(unescapedText(inlineString));
        } else if (!haveValue || (formula && type != u"str" && value.trimmed().isEmpty())) {
            if (!formula)
                return; // a cell with a format and no value
            cell.kind = Kind::NoResult; // only an empty text is a result that can be empty
        } else if (type == u"s") {
            const std::optional<double> index = parseNumber(value);
            if (!index || *index < 0 || *index >= double(m_sharedStrings)
                || *index != std::floor(*index))
                refuseCell(cell.row, cell.column,
                           "refers to a shared text the workbook does not hold");
            cell.kind = Kind::SharedText;
            cell.text = std::uint32_t(*index);
        } else if (type == u"str" || type == u"e" || type == u"inlineStr") {
            cell.kind = Kind::Text;
            cell.text = addText(unescapedText(value));
        } else if (type == u"b") {
            const QStringView v = QStringView(value).trimmed();
            if (v != u"0" && v != u"1" && v != u"true" && v != u"false")
                refuseCell(cell.row, cell.column, "holds a truth value that cannot be read");
            cell.kind = formula ? Kind::FormulaBoolean : Kind::Boolean;
            cell.number = v == u"1" || v == u"true" ? 1 : 0;
        } else if (type == u"d") {
            std::string text = isoDateText(value);
            if (text.empty())
                refuseCell(cell.row, cell.column, "holds a date that cannot be read");
            cell.kind = Kind::IsoDate;
            cell.text = addText(std::move(text));
        } else if (type.isEmpty() || type == u"n") {
            const std::optional<double> number = parseNumber(value);
            if (!number) {
                if (value.trimmed().isEmpty())
                    return;
                refuseCell(cell.row, cell.column, "holds a number that cannot be read");
            }
            cell.kind = Kind::Number;
            cell.number = *number;
        } else {
            refuseCell(cell.row, cell.column, "holds a value of an unknown kind");
        }
        m_out.cells.push_back(cell);
    }

    XmlPart m_xml;
    std::size_t m_sharedStrings;
    const std::vector<biff::Shown>& m_formats;
    SheetCells m_out;
    std::uint32_t m_row = 0;
    std::uint32_t m_nextColumn = 0;
};

} // namespace

SheetCells readSheetCells(ZipPackage& package, const std::string& part, std::size_t sharedStrings,
                          const std::vector<biff::Shown>& formats)
{
    return CellsReader(package, part, sharedStrings, formats).read();
}

} // namespace exchange::xlsx
