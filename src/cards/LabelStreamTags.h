#pragma once

#include <QtGlobal>

namespace cards::tags {

// Value tags of the label stream.
inline constexpr quint8 int8 = 0x02;
inline constexpr quint8 int16 = 0x03;
inline constexpr quint8 int32 = 0x04;
inline constexpr quint8 shortText = 0x06;
inline constexpr quint8 identifier = 0x07;
inline constexpr quint8 falseValue = 0x08;
inline constexpr quint8 trueValue = 0x09;
inline constexpr quint8 set = 0x0B;
inline constexpr quint8 longText = 0x0C;
inline constexpr quint8 wideText = 0x12;
inline constexpr quint8 utf8Text = 0x14;

inline constexpr char signature[] = "TPF0";

} // namespace cards::tags
