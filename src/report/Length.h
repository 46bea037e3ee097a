#pragma once

#include <QtGlobal>
#include <cmath>
#include <compare>

namespace report {

// A length on paper, held as whole micrometres so that tenths of a millimetre and the
// design's hundredths and thousandths are exact. Nothing converts to or from it silently:
// every construction names its unit.
class Length
{
public:
    constexpr Length() = default;

    static constexpr Length micrometres(qint64 value) { return Length(value); }
    static constexpr Length tenths(qint64 value) { return Length(value * 100); }
    // Rounded to the nearest micrometre.
    static Length mm(double value) { return Length(std::llround(value * 1000.0)); }
    static Length points(double value) { return mm(value * 25.4 / 72.0); }
    // A measure in device pixels at the given resolution (dots per inch).
    static Length device(double pixels, double dpi) { return mm(pixels * 25.4 / dpi); }

    constexpr qint64 micrometres() const { return m_um; }
    constexpr double toMm() const { return double(m_um) / 1000.0; }
    constexpr double toTenths() const { return double(m_um) / 100.0; }
    constexpr double toDevice(double dpi) const { return double(m_um) * dpi / 25400.0; }

    // To the nearest tenth of a millimetre, halves away from zero.
    constexpr Length roundedToTenth() const
    {
        return Length(m_um >= 0 ? (m_um + 50) / 100 * 100 : -((-m_um + 50) / 100 * 100));
    }
    // Down to a whole tenth of a millimetre.
    constexpr Length flooredToTenth() const
    {
        return Length(m_um >= 0 ? m_um / 100 * 100 : -((-m_um + 99) / 100 * 100));
    }

    constexpr Length operator+(Length other) const { return Length(m_um + other.m_um); }
    constexpr Length operator-(Length other) const { return Length(m_um - other.m_um); }
    constexpr Length operator-() const { return Length(-m_um); }
    constexpr Length operator*(qint64 factor) const { return Length(m_um * factor); }
    // Integer division, toward zero.
    constexpr Length operator/(qint64 divisor) const { return Length(m_um / divisor); }
    constexpr Length& operator+=(Length other)
    {
        m_um += other.m_um;
        return *this;
    }
    constexpr Length& operator-=(Length other)
    {
        m_um -= other.m_um;
        return *this;
    }
    constexpr auto operator<=>(const Length&) const = default;

private:
    constexpr explicit Length(qint64 um)
        : m_um(um)
    { }
    qint64 m_um = 0;
};

// Millimetres, as the designs spell their measures.
inline Length mm(double value)
{
    return Length::mm(value);
}

} // namespace report
