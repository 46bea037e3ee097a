#pragma once

#include "report/Length.h"

class QPagedPaintDevice;

namespace report {

// Sets the device's paper to width by height without margins (a printer to full-page
// drawing). Paper wider than high is given as the upright size turned to landscape, as
// printers list their sizes. Throws data::Error naming the size when the device does not take
// it, before anything is drawn.
void setPaper(QPagedPaintDevice& device, Length width, Length height);

} // namespace report
