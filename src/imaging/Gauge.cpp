#include "Gauge.h"

#include "data/Error.h"

#include <algorithm>
#include <climits>

namespace imaging {
namespace {

[[noreturn]] void refuse(int low, int high)
{
    throw data::Error(QStringLiteral("Value must be between %1 and %2").arg(low).arg(high));
}

} // namespace

void Gauge::setMin(int value)
{
    if (value == m_min)
        return;
    if (value > m_max)
        refuse(-INT_MAX, m_max - 1);
    m_min = value;
    m_position = std::clamp(m_position, m_min, m_max);
}

void Gauge::setMax(int value)
{
    if (value == m_max)
        return;
    if (value < m_min)
        refuse(m_min + 1, INT_MAX);
    m_max = value;
    m_position = std::clamp(m_position, m_min, m_max);
}

void Gauge::setPosition(int value)
{
    m_position = std::clamp(value, m_min, m_max);
}

int Gauge::percent() const
{
    if (m_max == m_min)
        return 0;
    return int((qint64(m_position) - m_min) * 100 / (qint64(m_max) - m_min));
}

} // namespace imaging
