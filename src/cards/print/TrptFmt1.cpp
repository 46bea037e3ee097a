#include "TrptFmt1.h"

namespace cards {
using report::Length;
using report::mm;

TrptFmt1::TrptFmt1(data::Query& rows)
    : CardReport(rows, 2, mm(89.958), mm(53.950))
{
    addBackground(mm(85.50), mm(54.00));
    addPhoto({mm(3.53), mm(21.17), mm(21.02), mm(27.93)});
    addAddress(mm(41.16), mm(11.17), 28);
    addSample(mm(8.82), mm(19.70), 48);
    const SlotPlace place {{mm(45.27), mm(15.29), Length(), mm(4.26)},
                           mm(42.92),
                           mm(16.46),
                           mm(3.82),
                           {mm(44.10), mm(19.40), mm(39.54), mm(1.32)}};
    for (int k = 0; k < slotCount; ++k)
        addSlot(k, place);
}

} // namespace cards
