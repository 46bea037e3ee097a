#include "LabelNames.h"

#include <array>

namespace cards {
namespace {

constexpr qint32 system(qint32 index)
{
    return qint32(0xFF000000u | quint32(index));
}

constexpr std::array colorTable = {
    LabelNames::Entry {"clBlack", 0x000000},
    LabelNames::Entry {"clMaroon", 0x000080},
    LabelNames::Entry {"clGreen", 0x008000},
    LabelNames::Entry {"clOlive", 0x008080},
    LabelNames::Entry {"clNavy", 0x800000},
    LabelNames::Entry {"clPurple", 0x800080},
    LabelNames::Entry {"clTeal", 0x808000},
    LabelNames::Entry {"clGray", 0x808080},
    LabelNames::Entry {"clSilver", 0xC0C0C0},
    LabelNames::Entry {"clRed", 0x0000FF},
    LabelNames::Entry {"clLime", 0x00FF00},
    LabelNames::Entry {"clYellow", 0x00FFFF},
    LabelNames::Entry {"clBlue", 0xFF0000},
    LabelNames::Entry {"clFuchsia", 0xFF00FF},
    LabelNames::Entry {"clAqua", 0xFFFF00},
    LabelNames::Entry {"clWhite", 0xFFFFFF},
    LabelNames::Entry {"clMoneyGreen", 0xC0DCC0},
    LabelNames::Entry {"clSkyBlue", 0xF0CAA6},
    LabelNames::Entry {"clCream", 0xF0FBFF},
    LabelNames::Entry {"clMedGray", 0xA4A0A0},
    LabelNames::Entry {"clScrollBar", system(0x00)},
    LabelNames::Entry {"clBackground", system(0x01)},
    LabelNames::Entry {"clActiveCaption", system(0x02)},
    LabelNames::Entry {"clInactiveCaption", system(0x03)},
    LabelNames::Entry {"clMenu", system(0x04)},
    LabelNames::Entry {"clWindow", system(0x05)},
    LabelNames::Entry {"clWindowFrame", system(0x06)},
    LabelNames::Entry {"clMenuText", system(0x07)},
    LabelNames::Entry {"clWindowText", system(0x08)},
    LabelNames::Entry {"clCaptionText", system(0x09)},
    LabelNames::Entry {"clActiveBorder", system(0x0A)},
    LabelNames::Entry {"clInactiveBorder", system(0x0B)},
    LabelNames::Entry {"clAppWorkSpace", system(0x0C)},
    LabelNames::Entry {"clHighlight", system(0x0D)},
    LabelNames::Entry {"clHighlightText", system(0x0E)},
    LabelNames::Entry {"clBtnFace", system(0x0F)},
    LabelNames::Entry {"clBtnShadow", system(0x10)},
    LabelNames::Entry {"clGrayText", system(0x11)},
    LabelNames::Entry {"clBtnText", system(0x12)},
    LabelNames::Entry {"clInactiveCaptionText", system(0x13)},
    LabelNames::Entry {"clBtnHighlight", system(0x14)},
    LabelNames::Entry {"cl3DDkShadow", system(0x15)},
    LabelNames::Entry {"cl3DLight", system(0x16)},
    LabelNames::Entry {"clInfoText", system(0x17)},
    LabelNames::Entry {"clInfoBk", system(0x18)},
    LabelNames::Entry {"clHotLight", system(0x1A)},
    LabelNames::Entry {"clGradientActiveCaption", system(0x1B)},
    LabelNames::Entry {"clGradientInactiveCaption", system(0x1C)},
    LabelNames::Entry {"clMenuHighlight", system(0x1D)},
    LabelNames::Entry {"clMenuBar", system(0x1E)},
    LabelNames::Entry {"clNone", 0x1FFFFFFF},
    LabelNames::Entry {"clDefault", 0x20000000},
};

constexpr std::array charsetTable = {
    LabelNames::Entry {"ANSI_CHARSET", 0},          LabelNames::Entry {"DEFAULT_CHARSET", 1},
    LabelNames::Entry {"SYMBOL_CHARSET", 2},        LabelNames::Entry {"MAC_CHARSET", 77},
    LabelNames::Entry {"SHIFTJIS_CHARSET", 128},    LabelNames::Entry {"HANGEUL_CHARSET", 129},
    LabelNames::Entry {"JOHAB_CHARSET", 130},       LabelNames::Entry {"GB2312_CHARSET", 134},
    LabelNames::Entry {"CHINESEBIG5_CHARSET", 136}, LabelNames::Entry {"GREEK_CHARSET", 161},
    LabelNames::Entry {"TURKISH_CHARSET", 162},     LabelNames::Entry {"HEBREW_CHARSET", 177},
    LabelNames::Entry {"ARABIC_CHARSET", 178},      LabelNames::Entry {"BALTIC_CHARSET", 186},
    LabelNames::Entry {"RUSSIAN_CHARSET", 204},     LabelNames::Entry {"THAI_CHARSET", 222},
    LabelNames::Entry {"EASTEUROPE_CHARSET", 238},  LabelNames::Entry {"OEM_CHARSET", 255},
};

QString nameOf(std::span<const LabelNames::Entry> table, qint32 value)
{
    for (const auto& entry : table) {
        if (entry.value == value)
            return QString::fromLatin1(entry.name);
    }
    return {};
}

std::optional<qint32> valueOf(std::span<const LabelNames::Entry> table, QStringView name)
{
    for (const auto& entry : table) {
        if (name == QLatin1StringView(entry.name))
            return entry.value;
    }
    return std::nullopt;
}

} // namespace

std::span<const LabelNames::Entry> LabelNames::colors()
{
    return colorTable;
}
std::span<const LabelNames::Entry> LabelNames::charsets()
{
    return charsetTable;
}

QString LabelNames::colorName(qint32 color)
{
    return nameOf(colorTable, color);
}
QString LabelNames::charsetName(qint32 charset)
{
    return nameOf(charsetTable, charset);
}

std::optional<qint32> LabelNames::colorValue(QStringView name)
{
    return valueOf(colorTable, name);
}

std::optional<qint32> LabelNames::charsetValue(QStringView name)
{
    return valueOf(charsetTable, name);
}

} // namespace cards
