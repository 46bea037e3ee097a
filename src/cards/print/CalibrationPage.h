#pragma once

#include "PrintOffsets.h"
#include "report/Page.h"

namespace report {
class TextMetrics;
}

namespace cards {

// The paper a calibration page is made for.
enum class CalibrationPaper { Card, A4 };

// A page to read a printer's offset from: millimetre rulers along the four edges, each
// running 10 mm on beyond the paper so that a print moved inward still shows where the edge
// cuts it, and crosses at the corners and the centre of every card: the card itself, or the
// ten landscape card cells of an A4 sheet. A note names the printer and the offset printed.
report::Page calibrationPage(CalibrationPaper paper, const QString& printer,
                             const PrintOffset& offset, const report::TextMetrics& metrics);

} // namespace cards
