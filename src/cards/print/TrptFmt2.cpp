#include "TrptFmt2.h"

namespace cards {
using report::Length;
using report::mm;

TrptFmt2::TrptFmt2(data::Query& rows)
    : CardReport(rows, 2, mm(89.958), mm(53.946))
{
    addBackground(mm(85.50), mm(54.00));
    addPhoto({mm(61.74), mm(19.99), mm(21.02), mm(27.93)});
    addSample(mm(8.23), mm(19.70), 48);
    addAddress(mm(41.75), mm(11.17), 28);
    const SlotPlace place {{mm(19.99), mm(15.29), Length(), mm(4.26)},
                           mm(17.64),
                           mm(16.46),
                           mm(3.82),
                           {mm(18.81), mm(19.40), mm(39.54), mm(1.32)}};
    for (int k = 0; k < slotCount; ++k)
        addSlot(k, place);
}

} // namespace cards
