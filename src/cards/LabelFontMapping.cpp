#include "LabelFontMapping.h"

#include <cmath>
#include <cstdlib>

namespace cards {
namespace {

// a * b / c rounded half away from zero, in 64 bits.
qint64 mulDiv(qint64 a, qint64 b, qint64 c)
{
    const qint64 product = a * b;
    const qint64 half = c / 2;
    return product >= 0 ? (product + half) / c : -((-product + half) / c);
}

// The classic values of the system colours that can appear in a stored font.
QColor systemColor(int index)
{
    switch (index) {
    case 0x05: // window
    case 0x0E: // highlight text
    case 0x14: // button highlight
        return QColor(255, 255, 255);
    case 0x0D: // highlight
        return QColor(0, 120, 215);
    case 0x0F: // button face
    case 0x04: // menu
    case 0x1E: // menu bar
        return QColor(240, 240, 240);
    case 0x10: // button shadow
    case 0x11: // grey text
        return QColor(128, 128, 128);
    default: // text colours and the rest
        return QColor(0, 0, 0);
    }
}

} // namespace

int LabelFontMapping::pointSize(qint32 height)
{
    return int(mulDiv(std::abs(qint64(height)), 72, screenDpi));
}

qint32 LabelFontMapping::height(int pointSize)
{
    return qint32(-mulDiv(pointSize, screenDpi, 72));
}

QColor LabelFontMapping::toQColor(qint32 color)
{
    const quint32 value = quint32(color);
    if ((value & 0xFF000000u) == 0xFF000000u)
        return systemColor(int(value & 0xFFu));
    if (value & 0xFF000000u) // none and default
        return QColor(0, 0, 0);
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

qint32 LabelFontMapping::fromQColor(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return qint32(quint32(rgb.red()) | quint32(rgb.green()) << 8 | quint32(rgb.blue()) << 16);
}

QFont LabelFontMapping::toQFont(const LabelFont& font)
{
    QFont result(font.name);
    result.setPointSize(std::max(1, pointSize(font.height)));
    result.setBold(font.style.testFlag(LabelFont::Style::Bold));
    result.setItalic(font.style.testFlag(LabelFont::Style::Italic));
    result.setUnderline(font.style.testFlag(LabelFont::Style::Underline));
    result.setStrikeOut(font.style.testFlag(LabelFont::Style::StrikeOut));
    if (font.pitch == LabelFont::Pitch::Fixed)
        result.setFixedPitch(true);
    return result;
}

LabelFont LabelFontMapping::fromQFont(const QFont& font, const QColor& color, const LabelFont& base)
{
    LabelFont result = base;
    result.name = font.family();
    result.height = height(int(std::lround(font.pointSizeF())));
    LabelFont::Styles style;
    style.setFlag(LabelFont::Style::Bold, font.bold());
    style.setFlag(LabelFont::Style::Italic, font.italic());
    style.setFlag(LabelFont::Style::Underline, font.underline());
    style.setFlag(LabelFont::Style::StrikeOut, font.strikeOut());
    result.style = style;
    result.color = fromQColor(color);
    return result;
}

} // namespace cards
