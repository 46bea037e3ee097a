#pragma once

#include "report/Length.h"

class QPaintDevice;

namespace report {

// While it lives, PagePainter draws every page it paints onto the device shifted by the
// offset: right and down for positive values. A printer's paper rarely runs through it exactly
// where the page says, and this moves the print back onto the paper. Pages a PageCapture
// keeps are never shifted. Offsets do not add up: the newest one for a device holds.
class DeviceOffset
{
public:
    DeviceOffset(const QPaintDevice* device, Length x, Length y);
    ~DeviceOffset();
    DeviceOffset(const DeviceOffset&) = delete;
    DeviceOffset& operator=(const DeviceOffset&) = delete;

    struct Shift
    {
        Length x;
        Length y;
    };
    // The offset in force for the device; none is zero.
    static Shift of(const QPaintDevice* device);
};

} // namespace report
