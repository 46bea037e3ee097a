#pragma once

#include "data/Answers.h"

#include <QString>

namespace cards {

// How far a printer's print is to be moved on the paper, in whole tenths of a millimetre:
// right and down for positive values.
struct PrintOffset
{
    int x = 0;
    int y = 0;
    bool operator==(const PrintOffset&) const = default;
};

// Offsets run from -10.0 to +10.0 mm.
constexpr int maxOffsetTenths = 100;

// Printers are named by their system names; the empty name is the PDF writer (PDF files).
QString printerTitle(const QString& printer);

// "+2.0", "-1.5", "0.0".
QString offsetText(int tenths);

// Throws data::Error saying which value lies outside the range and what the range is.
void checkPrintOffset(const PrintOffset& offset);

// The offset kept for the printer in the user's settings; none kept is zero. A kept value
// outside the range throws data::Error, so nothing prints with it.
PrintOffset readPrintOffset(const QString& printer);
// Keeps the offset for the printer; one outside the range throws data::Error and nothing is
// stored.
void writePrintOffset(const QString& printer, const PrintOffset& offset);

// The render drawing every page shifted by the offset on the device it is given.
data::Answers::Render shiftedRender(const data::Answers::Render& render, const PrintOffset& offset);
// Shifted by the printer's kept offset, read now: a kept value outside the range throws here,
// before anything is drawn.
data::Answers::Render shiftedForPrinter(const data::Answers::Render& render,
                                        const QString& printer);

} // namespace cards
