#pragma once

namespace imaging {

// The numbers behind the progress gauge: minimum <= position <= maximum at all times.
class Gauge
{
public:
    int min() const { return m_min; }
    int max() const { return m_max; }
    int position() const { return m_position; }

    // Refused with "Value must be between %d and %d" when above the maximum.
    void setMin(int value);
    // Refused with "Value must be between %d and %d" when below the minimum.
    void setMax(int value);
    void setPosition(int value);
    void step() { setPosition(m_position + 1); }

    // Whole percent done, the fraction dropped; 0 when the range is empty.
    int percent() const;

private:
    int m_min = 0;
    int m_max = 100;
    int m_position = 0;
};

} // namespace imaging
