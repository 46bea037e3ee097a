#pragma once

#include "report/Length.h"
#include "report/LengthRect.h"

namespace report {
class Report;
}

namespace cards {

// An ISO ID-1 card, as card printers take it, lying landscape.
inline report::Length cardLongSide()
{
    return report::Length::mm(85.60);
}
inline report::Length cardShortSide()
{
    return report::Length::mm(53.98);
}

// Turns a card report into card printer output: one card per page of the card's size, upright
// for a design whose card is higher than wide and landscape otherwise, each card (the area of
// the cell its background covers, without the space between the columns of a sheet) scaled
// to cover the card edge to edge and centred on it.
void useCardPrinterPage(report::Report& report, const report::LengthRect& card);

} // namespace cards
