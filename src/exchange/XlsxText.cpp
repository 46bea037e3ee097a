#include "XlsxText.h"

#include <charconv>
#include <cmath>

namespace exchange::xlsx {

std::string unescapedText(const QString& text)
{
    if (!text.contains(u"_x"))
        return text.toStdString();
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'_' && i + 6 < text.size() && text[i + 1] == u'x' && text[i + 6] == u'_') {
            bool ok = false;
            const ushort code = text.mid(i + 2, 4).toUShort(&ok, 16);
            if (ok) {
                out += QChar(code);
                i += 6;
                continue;
            }
        }
        out += text[i];
    }
    return out.toStdString();
}

std::optional<CellReference> parseCellReference(QStringView text)
{
    qsizetype i = 0;
    std::uint64_t column = 0;
    for (; i < text.size() && i < 4; ++i) {
        const char16_t c = text[i].unicode();
        const char16_t upper = c >= u'a' && c <= u'z' ? char16_t(c - 32) : c;
        if (upper < u'A' || upper > u'Z')
            break;
        column = column * 26 + (upper - u'A' + 1);
    }
    if (i == 0 || column > maxSheetColumns)
        return std::nullopt;
    std::uint64_t row = 0;
    const qsizetype digits = i;
    for (; i < text.size() && i - digits < 8; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        row = row * 10 + (c - u'0');
    }
    if (i != text.size() || i == digits || row == 0 || row > maxSheetRows)
        return std::nullopt;
    return CellReference {std::uint32_t(row - 1), std::uint32_t(column - 1)};
}

std::string cellName(std::uint32_t row, std::uint32_t column)
{
    std::string letters;
    for (std::uint64_t c = std::uint64_t(column) + 1; c > 0; c = (c - 1) / 26)
        letters.insert(letters.begin(), char('A' + (c - 1) % 26));
    return letters + std::to_string(std::uint64_t(row) + 1);
}

std::optional<double> parseNumber(QStringView text)
{
    const QByteArray bytes = text.trimmed().toLatin1();
    const char* first = bytes.constData();
    const char* last = first + bytes.size();
    if (first != last && *first == '+')
        ++first;
    double value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (first == last || error != std::errc() || end != last || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace exchange::xlsx
