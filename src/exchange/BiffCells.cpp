#include "BiffCells.h"

#include "SheetName.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace exchange::biff {
namespace {

enum : std::uint16_t {
    recFormula = 0x0006,
    recEof = 0x000A,
    recDateMode = 0x0022,
    recFilePass = 0x002F,
    recContinue = 0x003C,
    recBoundSheet = 0x0085,
    recMulRk = 0x00BD,
    recXf = 0x00E0,
    recNumber = 0x0203,
    recString = 0x0207,
    recRk = 0x027E,
    recFormat = 0x041E,
    recBof = 0x0809,
};

struct Record
{
    std::uint16_t type = 0;
    const unsigned char* data = nullptr;
    std::size_t size = 0;

    unsigned u8(std::size_t at) const { return at < size ? data[at] : 0; }
    std::uint16_t u16(std::size_t at) const { return std::uint16_t(u8(at) | u8(at + 1) << 8); }
    std::uint32_t u32(std::size_t at) const
    {
        return std::uint32_t(u16(at)) | std::uint32_t(u16(at + 2)) << 16;
    }
    double f64(std::size_t at) const
    {
        std::uint64_t bits = std::uint64_t(u32(at)) | std::uint64_t(u32(at + 4)) << 32;
        double value = 0;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
};

class Records
{
public:
    Records(const std::string& stream, std::size_t at)
        : m_data(reinterpret_cast<const unsigned char*>(stream.data()))
        , m_size(stream.size())
        , m_at(at)
    { }

    bool next(Record& record)
    {
        if (m_at > m_size || m_size - m_at < 4)
            return false;
        record.type = std::uint16_t(m_data[m_at] | m_data[m_at + 1] << 8);
        const std::size_t length = std::size_t(m_data[m_at + 2] | m_data[m_at + 3] << 8);
        if (m_size - m_at - 4 < length)
            return false;
        record.data = m_data + m_at + 4;
        record.size = length;
        m_at += 4 + length;
        return true;
    }

private:
    const unsigned char* m_data;
    std::size_t m_size;
    std::size_t m_at;
};

void appendUtf8(std::string& out, std::uint32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | c >> 6);
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | c >> 12);
        out += char(0x80 | (c >> 6 & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | c >> 18);
        out += char(0x80 | (c >> 12 & 0x3F));
        out += char(0x80 | (c >> 6 & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// Appends up to count characters stored from at (one byte each, or UTF-16 when wide);
// returns how many were there. A lone surrogate becomes U+FFFD.
std::size_t appendChars(std::string& out, const Record& r, std::size_t at, std::size_t count,
                        bool wide, std::uint32_t& pendingHigh)
{
    std::size_t done = 0;
    for (; done < count && at + (wide ? 2 : 1) <= r.size; ++done) {
        std::uint32_t c = wide ? r.u16(at) : r.u8(at);
        at += wide ? 2 : 1;
        if (pendingHigh) {
            if (c >= 0xDC00 && c <= 0xDFFF) {
                appendUtf8(out, 0x10000 + ((pendingHigh - 0xD800) << 10) + (c - 0xDC00));
                pendingHigh = 0;
                continue;
            }
            appendUtf8(out, 0xFFFD);
            pendingHigh = 0;
        }
        if (c >= 0xD800 && c <= 0xDBFF)
            pendingHigh = c;
        else
            appendUtf8(out, c >= 0xDC00 && c <= 0xDFFF ? 0xFFFD : c);
    }
    return done;
}

// An XLUnicodeString (16-bit length when longLength, else 8-bit) at at, its characters
// possibly going on in CONTINUE records (each opening with its own flags byte).
std::string unicodeString(const Record& first, std::size_t at, bool longLength,
                          Records* continues = nullptr)
{
    std::size_t count = longLength ? first.u16(at) : first.u8(at);
    at += longLength ? 2 : 1;
    const bool wide = first.u8(at) & 1;
    std::string out;
    std::uint32_t pendingHigh = 0;
    count -= appendChars(out, first, at + 1, count, wide, pendingHigh);
    Record more;
    while (count > 0 && continues && continues->next(more) && more.type == recContinue)
        count -= appendChars(out, more, 1, count, more.u8(0) & 1, pendingHigh);
    if (pendingHigh)
        appendUtf8(out, 0xFFFD);
    return out;
}

const char* errorText(unsigned code)
{
    switch (code) {
    case 0x00:
        return "#NULL!";
    case 0x07:
        return "#DIV/0!";
    case 0x0F:
        return "#VALUE!";
    case 0x17:
        return "#REF!";
    case 0x1D:
        return "#NAME?";
    case 0x24:
        return "#NUM!";
    default:
        return "#N/A";
    }
}

double rkValue(std::uint32_t rk)
{
    double value = 0;
    if (rk & 2) {
        value = double(std::int32_t(rk) >> 2);
    } else {
        const std::uint64_t bits = std::uint64_t(rk & 0xFFFFFFFC) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return rk & 1 ? value / 100 : value;
}

} // namespace

Shown builtinFormatShown(unsigned format)
{
    if (format >= 14 && format <= 17)
        return Shown::Date;
    if ((format >= 18 && format <= 21) || (format >= 45 && format <= 47))
        return Shown::Time;
    if (format == 22)
        return Shown::DateTime;
    return Shown::Number;
}

Shown formatCodeShown(const std::string& code)
{
    bool date = false;
    bool time = false;
    bool month = false;
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = lower(code[i]);
        if (c == ';')
            break;
        if (c == '"') {
            const std::size_t close = code.find('"', i + 1);
            i = close == std::string::npos ? code.size() : close;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i;
        } else if (c == '[') {
            const std::size_t close = code.find(']', i + 1);
            const std::string inside
                = code.substr(i + 1, close == std::string::npos ? 0 : close - i - 1);
            // Elapsed hours, minutes or seconds ("[h]", "[mm]"); any other bracket holds a
            // colour ("[Magenta]"), a condition or a locale.
            const char first = inside.empty() ? '\0' : lower(inside[0]);
            if ((first == 'h' || first == 'm' || first == 's')
                && inside.find_first_not_of(std::string {first, char(first - 32)})
                    == std::string::npos)
                time = true;
            i = close == std::string::npos ? code.size() : close;
        } else if (code.compare(i, 5, "AM/PM") == 0 || code.compare(i, 5, "am/pm") == 0) {
            time = true;
            i += 4;
        } else if (c == 'd' || c == 'y') {
            date = true;
        } else if (c == 'h' || c == 's') {
            time = true;
        } else if (c == 'm') {
            month = true;
        }
    }
    if (month && !time)
        date = true;
    if (date && time)
        return Shown::DateTime;
    if (date)
        return Shown::Date;
    return time ? Shown::Time : Shown::Number;
}

namespace {

class Reader
{
public:
    explicit Reader(const std::string& stream)
        : m_stream(stream)
    { }

    Sheet read(const char* sheetName)
    {
        Sheet sheet;
        std::size_t sheetAt = 0;
        bool haveSheet = false;
        Records records(m_stream, 0);
        Record r;
        if (!records.next(r) || r.type != recBof)
            return sheet;
        while (records.next(r) && r.type != recEof) {
            switch (r.type) {
            case recFilePass:
                sheet.encrypted = true;
                return sheet; // what follows is enciphered
            case recDateMode:
                sheet.date1904 = r.u16(0) == 1;
                break;
            case recFormat:
                m_formats[r.u16(0)] = unicodeString(r, 2, true);
                break;
            case recXf:
                m_xfFormats.push_back(r.u16(2));
                break;
            case recBoundSheet:
                if (!haveSheet && r.u8(5) == 0
                    && sameSheetName(unicodeString(r, 6, false), sheetName)) {
                    sheetAt = r.u32(0);
                    haveSheet = true;
                }
                break;
            default:
                break;
            }
        }
        if (haveSheet)
            readCells(sheetAt, sheet);
        return sheet;
    }

private:
    Shown shownByXf(unsigned xf) const
    {
        if (xf >= m_xfFormats.size())
            return Shown::Number;
        const unsigned format = m_xfFormats[xf];
        const auto custom = m_formats.find(format);
        if (custom != m_formats.end()) {
            const Shown shown = formatCodeShown(custom->second);
            if (shown != Shown::Number || format >= 164)
                return shown;
        }
        return builtinFormatShown(format);
    }

    void put(Sheet& sheet, const Record& r, std::size_t at, RawCell cell)
    {
        cell.shown = shownByXf(r.u16(at + 4));
        sheet.cells[{r.u16(at), r.u16(at + 2)}] = std::move(cell);
    }

    void readCells(std::size_t at, Sheet& sheet)
    {
        Records records(m_stream, at);
        Record r;
        if (!records.next(r) || r.type != recBof)
            return;
        sheet.found = true;
        RawCell* pendingText = nullptr; // a formula whose text result follows
        while (records.next(r) && r.type != recEof) {
            if (r.type == recString) {
                if (pendingText) {
                    pendingText->kind = RawCell::Kind::Text;
                    pendingText->text = unicodeString(r, 0, true, &records);
                    pendingText = nullptr;
                }
                continue;
            }
            if (r.type != recFormula && r.type != recNumber && r.type != recRk
                && r.type != recMulRk)
                continue;
            pendingText = nullptr;
            RawCell cell;
            if (r.type == recNumber && r.size >= 14) {
                cell.number = r.f64(6);
                put(sheet, r, 0, cell);
            } else if (r.type == recRk && r.size >= 10) {
                cell.number = rkValue(r.u32(6));
                put(sheet, r, 0, cell);
            } else if (r.type == recMulRk && r.size >= 6) {
                const std::uint16_t row = r.u16(0);
                std::uint16_t column = r.u16(2);
                for (std::size_t i = 4; i + 6 <= r.size - 2; i += 6, ++column) {
                    RawCell one;
                    one.number = rkValue(r.u32(i + 2));
                    one.shown = shownByXf(r.u16(i));
                    sheet.cells[{row, column}] = one;
                }
            } else if (r.type == recFormula && r.size >= 20) {
                cell.formula = true;
                if (r.u16(12) != 0xFFFF) {
                    cell.number = r.f64(6);
                } else if (r.u8(6) == 0) {
                    cell.kind = RawCell::Kind::NoResult; // until its STRING record comes
                } else if (r.u8(6) == 1) {
                    cell.kind = RawCell::Kind::Boolean;
                    cell.number = r.u8(8) ? 1 : 0;
                } else if (r.u8(6) == 2) {
                    cell.kind = RawCell::Kind::Error;
                    cell.text = errorText(r.u8(8));
                } else if (r.u8(6) == 3) {
                    cell.kind = RawCell::Kind::Text;
                } else {
                    cell.kind = RawCell::Kind::NoResult;
                }
                const bool textFollows = cell.kind == RawCell::Kind::NoResult && r.u8(6) == 0;
                put(sheet, r, 0, std::move(cell));
                if (textFollows)
                    pendingText = &sheet.cells[{r.u16(0), r.u16(2)}];
            }
        }
    }

    const std::string& m_stream;
    std::map<unsigned, std::string> m_formats;
    std::vector<std::uint16_t> m_xfFormats;
};

// Days since 1 January 1970 to a civil date (proleptic Gregorian calendar).
void civilFromDays(long long z, long long& y, unsigned& m, unsigned& d)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = (long long)yoe + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    if (m <= 2)
        ++y;
}

} // namespace

Sheet readSheet(const std::string& stream, const char* sheetName)
{
    return Reader(stream).read(sheetName);
}

std::string serialText(double serial, bool date1904, Shown shown)
{
    // The latest day either date system reaches is 31 December 9999.
    if (!std::isfinite(serial) || serial < 0 || serial >= 2958466)
        return {};
    const long long seconds = std::llround(serial * 86400.0);
    long long days = seconds / 86400;
    const long long secondOfDay = seconds % 86400;
    char time[16];
    std::snprintf(time, sizeof time, "%02lld:%02lld:%02lld", secondOfDay / 3600,
                  secondOfDay / 60 % 60, secondOfDay % 60);
    if (shown == Shown::Time && days == 0)
        return time;

    long long y = 0;
    unsigned m = 0, d = 0;
    if (date1904) {
        civilFromDays(days - 24107, y, m, d); // 1 January 1904
    } else if (days == 60) {
        // Excel's 1900 calendar has a 29 February 1900 that no calendar knows.
        y = 1900, m = 2, d = 29;
    } else {
        // Serial 1 is 1 January 1900; from serial 61 (1 March 1900) on, Excel counts the
        // day that did not exist.
        civilFromDays(days - (days < 60 ? 25568 : 25569), y, m, d);
    }
    if (y > 9999)
        return {};
    char date[32];
    std::snprintf(date, sizeof date, "%04lld-%02u-%02u", y, m, d);
    if (shown == Shown::Date && secondOfDay == 0)
        return date;
    return std::string(date) + ' ' + time;
}

} // namespace exchange::biff
