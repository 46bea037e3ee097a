#include "LabelStream.h"

#include "cards/LabelNames.h"
#include "cards/LabelStreamTags.h"

#include <QtEndian>
#include <algorithm>
#include <array>

namespace cards {
namespace {

constexpr std::array alignmentNames = {"taLeftJustify", "taRightJustify", "taCenter"};
constexpr std::array layoutNames = {"tlTop", "tlCenter", "tlBottom"};
constexpr std::array pitchNames = {"fpDefault", "fpVariable", "fpFixed"};

struct StyleName
{
    LabelFont::Style style;
    const char* name;
};
constexpr std::array styleNames = {
    StyleName {LabelFont::Style::Bold, "fsBold"},
    StyleName {LabelFont::Style::Italic, "fsItalic"},
    StyleName {LabelFont::Style::Underline, "fsUnderline"},
    StyleName {LabelFont::Style::StrikeOut, "fsStrikeOut"},
};

template<typename Enum, std::size_t N>
const char* enumName(const std::array<const char*, N>& names, Enum value)
{
    return names[static_cast<std::size_t>(value)];
}

// --- writing ---------------------------------------------------------------------------

class Writer
{
public:
    QByteArray bytes;

    void raw(quint8 byte) { bytes.append(char(byte)); }
    void le32(qint32 value)
    {
        char buffer[4];
        qToLittleEndian(value, buffer);
        bytes.append(buffer, 4);
    }
    void shortString(const QByteArray& text)
    {
        raw(quint8(text.size()));
        bytes.append(text);
    }
    void name(const char* property) { shortString(QByteArray(property)); }

    void integer(qint32 value)
    {
        if (value >= -128 && value <= 127) {
            raw(tags::int8);
            raw(quint8(qint8(value)));
        } else if (value >= -32768 && value <= 32767) {
            raw(tags::int16);
            char buffer[2];
            qToLittleEndian(qint16(value), buffer);
            bytes.append(buffer, 2);
        } else {
            raw(tags::int32);
            le32(value);
        }
    }
    void identifier(const char* ident)
    {
        raw(tags::identifier);
        name(ident);
    }
    void truth(bool value) { raw(value ? tags::trueValue : tags::falseValue); }

    void text(const QString& value)
    {
        const QByteArray utf8 = value.toUtf8();
        const qsizetype units = value.size();
        if (utf8.size() < 2 * units) {
            bool ascii
                = std::all_of(utf8.begin(), utf8.end(), [](char c) { return quint8(c) < 0x80; });
            if (!ascii) {
                raw(tags::utf8Text);
                le32(qint32(utf8.size()));
                bytes.append(utf8);
            } else if (utf8.size() <= 255) {
                raw(tags::shortText);
                shortString(utf8);
            } else {
                raw(tags::longText);
                le32(qint32(utf8.size()));
                bytes.append(utf8);
            }
            return;
        }
        raw(tags::wideText);
        le32(qint32(units));
        for (QChar unit : value) {
            char buffer[2];
            qToLittleEndian(unit.unicode(), buffer);
            bytes.append(buffer, 2);
        }
    }
};

// --- reading ---------------------------------------------------------------------------

// A bounded view of the stream: every read checks the bytes left first.
class Reader
{
public:
    explicit Reader(QByteArrayView data)
        : m_data(data)
    { }

    bool atEnd() const { return m_pos >= m_data.size(); }
    qsizetype left() const { return m_data.size() - m_pos; }

    bool byte(quint8& out)
    {
        if (atEnd())
            return false;
        out = quint8(m_data[m_pos++]);
        return true;
    }
    bool peek(quint8& out) const
    {
        if (atEnd())
            return false;
        out = quint8(m_data[m_pos]);
        return true;
    }
    bool take(qint64 count, QByteArrayView& out)
    {
        if (count < 0 || count > left())
            return false;
        out = m_data.sliced(m_pos, qsizetype(count));
        m_pos += qsizetype(count);
        return true;
    }
    bool shortString(QByteArrayView& out)
    {
        quint8 size = 0;
        return byte(size) && take(size, out);
    }

    bool integerValue(quint8 tag, qint32& out)
    {
        QByteArrayView raw;
        switch (tag) {
        case tags::int8:
            if (!take(1, raw))
                return false;
            out = qint8(raw[0]);
            return true;
        case tags::int16:
            if (!take(2, raw))
                return false;
            out = qFromLittleEndian<qint16>(raw.data());
            return true;
        case tags::int32:
            if (!take(4, raw))
                return false;
            out = qFromLittleEndian<qint32>(raw.data());
            return true;
        default:
            return false;
        }
    }
    bool integer(qint32& out)
    {
        quint8 tag = 0;
        return byte(tag) && integerValue(tag, out);
    }

    bool text(QString& out)
    {
        quint8 tag = 0;
        if (!byte(tag))
            return false;
        QByteArrayView raw;
        qint32 size = 0;
        switch (tag) {
        case tags::shortText:
            if (!shortString(raw))
                return false;
            out = QString::fromLatin1(raw);
            return true;
        case tags::longText:
            if (!length(size) || !take(size, raw))
                return false;
            out = QString::fromLatin1(raw);
            return true;
        case tags::utf8Text:
            if (!length(size) || !take(size, raw))
                return false;
            out = QString::fromUtf8(raw);
            return true;
        case tags::wideText:
            if (!length(size) || !take(qint64(size) * 2, raw))
                return false;
            out.resize(size);
            for (qint32 i = 0; i < size; ++i)
                out[i] = QChar(qFromLittleEndian<quint16>(raw.data() + 2 * i));
            return true;
        default:
            return false;
        }
    }

    bool identifier(QByteArrayView& out)
    {
        quint8 tag = 0;
        return byte(tag) && tag == tags::identifier && shortString(out);
    }

    bool truth(bool& out)
    {
        quint8 tag = 0;
        if (!byte(tag) || (tag != tags::trueValue && tag != tags::falseValue))
            return false;
        out = tag == tags::trueValue;
        return true;
    }

    bool styleSet(LabelFont::Styles& out)
    {
        quint8 tag = 0;
        if (!byte(tag) || tag != tags::set)
            return false;
        LabelFont::Styles styles;
        for (;;) {
            QByteArrayView member;
            if (!shortString(member))
                return false;
            if (member.isEmpty())
                break;
            auto it = std::find_if(styleNames.begin(), styleNames.end(), [&](const StyleName& s) {
                return member == QByteArrayView(s.name);
            });
            if (it == styleNames.end())
                return false;
            styles |= it->style;
        }
        out = styles;
        return true;
    }

    template<typename Enum, std::size_t N>
    bool enumeration(const std::array<const char*, N>& names, Enum& out)
    {
        QByteArrayView ident;
        if (!identifier(ident))
            return false;
        for (std::size_t i = 0; i < N; ++i) {
            if (ident == QByteArrayView(names[i])) {
                out = static_cast<Enum>(i);
                return true;
            }
        }
        return false;
    }

    // An identifier from a name table, or an integer.
    bool namedInteger(std::optional<qint32> (*lookup)(QStringView), qint32& out)
    {
        quint8 tag = 0;
        if (!byte(tag))
            return false;
        if (tag != tags::identifier)
            return integerValue(tag, out);
        QByteArrayView ident;
        if (!shortString(ident))
            return false;
        auto value = lookup(QString::fromLatin1(ident));
        if (!value)
            return false;
        out = *value;
        return true;
    }

private:
    bool length(qint32& out)
    {
        QByteArrayView raw;
        if (!take(4, raw))
            return false;
        out = qFromLittleEndian<qint32>(raw.data());
        return out >= 0;
    }

    QByteArrayView m_data;
    qsizetype m_pos = 0;
};

// Reads the value of one property into a copy and commits it only when it was read whole.
template<typename T, typename Read> bool apply(T& target, Read read)
{
    T value = target;
    if (!read(value))
        return false;
    target = value;
    return true;
}

bool applyRecord(Reader& in, QByteArrayView name, LabelProperties& label)
{
    LabelFont& font = label.font;
    auto integer = [&](qint32& v) { return in.integer(v); };
    auto text = [&](QString& v) { return in.text(v); };
    auto truth = [&](bool& v) { return in.truth(v); };

    if (name == "Left")
        return apply(label.left, integer);
    if (name == "Top")
        return apply(label.top, integer);
    if (name == "Width")
        return apply(label.width, integer);
    if (name == "Height")
        return apply(label.height, integer);
    if (name == "Alignment")
        return apply(label.alignment, [&](auto& v) { return in.enumeration(alignmentNames, v); });
    if (name == "AutoSize")
        return apply(label.autoSize, truth);
    if (name == "Caption")
        return apply(label.caption, text);
    if (name == "Font.Charset") {
        return apply(font.charset, [&](qint32& v) {
            return in.namedInteger(&LabelNames::charsetValue, v) && v >= 0 && v <= 255;
        });
    }
    if (name == "Font.Color")
        return apply(font.color,
                     [&](qint32& v) { return in.namedInteger(&LabelNames::colorValue, v); });
    if (name == "Font.Height")
        return apply(font.height, integer);
    if (name == "Font.Name")
        return apply(font.name, text);
    if (name == "Font.Pitch")
        return apply(font.pitch, [&](auto& v) { return in.enumeration(pitchNames, v); });
    if (name == "Font.Style")
        return apply(font.style, [&](auto& v) { return in.styleSet(v); });
    if (name == "ParentFont")
        return apply(label.parentFont, truth);
    if (name == "Layout")
        return apply(label.layout, [&](auto& v) { return in.enumeration(layoutNames, v); });
    return false;
}

} // namespace

QByteArray LabelStream::write(const LabelProperties& label)
{
    Writer out;
    out.bytes.append(tags::signature, 4);
    out.shortString("TLabel");
    out.shortString(label.name.toLatin1());

    out.name("Left");
    out.integer(label.left);
    out.name("Top");
    out.integer(label.top);
    out.name("Width");
    out.integer(label.width);
    out.name("Height");
    out.integer(label.height);
    if (label.alignment != LabelProperties::Alignment::LeftJustify) {
        out.name("Alignment");
        out.identifier(enumName(alignmentNames, label.alignment));
    }
    if (!label.autoSize) {
        out.name("AutoSize");
        out.truth(false);
    }
    if (!label.caption.isEmpty()) {
        out.name("Caption");
        out.text(label.caption);
    }

    const LabelFont& font = label.font;
    out.name("Font.Charset");
    if (QString charset = LabelNames::charsetName(font.charset); !charset.isEmpty())
        out.identifier(charset.toLatin1().constData());
    else
        out.integer(font.charset);
    out.name("Font.Color");
    if (QString color = LabelNames::colorName(font.color); !color.isEmpty())
        out.identifier(color.toLatin1().constData());
    else
        out.integer(font.color);
    out.name("Font.Height");
    out.integer(font.height);
    if (!font.name.isEmpty()) {
        out.name("Font.Name");
        out.text(font.name);
    }
    if (font.pitch != LabelFont::Pitch::Default) {
        out.name("Font.Pitch");
        out.identifier(enumName(pitchNames, font.pitch));
    }
    out.name("Font.Style");
    out.raw(tags::set);
    for (const auto& style : styleNames) {
        if (font.style.testFlag(style.style))
            out.name(style.name);
    }
    out.raw(0);
    if (!label.parentFont) {
        out.name("ParentFont");
        out.truth(false);
    }
    if (label.layout != LabelProperties::Layout::Top) {
        out.name("Layout");
        out.identifier(enumName(layoutNames, label.layout));
    }

    out.raw(0); // end of properties
    out.raw(0); // end of children
    return out.bytes;
}

bool LabelStream::read(QByteArrayView stream, LabelProperties& label)
{
    Reader in(stream);
    QByteArrayView part;
    if (!in.take(4, part) || part != QByteArrayView(tags::signature, 4))
        return false;

    quint8 flags = 0;
    if (in.peek(flags) && (flags & 0xF0) == 0xF0) {
        in.byte(flags);
        qint32 position = 0;
        if ((flags & 0x02) && !in.integer(position))
            return false;
    }

    if (!in.shortString(part)) // class name, not used
        return false;
    QByteArrayView componentName;
    if (!in.shortString(componentName))
        return false;
    label.name = QString::fromLatin1(componentName);

    for (;;) {
        QByteArrayView property;
        if (!in.shortString(property))
            return false;
        if (property.isEmpty())
            break;
        if (!applyRecord(in, property, label))
            return false;
    }
    quint8 children = 0xFF;
    return in.byte(children) && children == 0;
}

} // namespace cards
