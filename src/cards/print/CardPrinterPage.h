#pragma once

#include "report/Length.h"

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
// for a design whose card cell is higher than wide and landscape otherwise, each card cell
// scaled to cover the card edge to edge and centred on it.
void useCardPrinterPage(report::Report& report);

} // namespace cards
