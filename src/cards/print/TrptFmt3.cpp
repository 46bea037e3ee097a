#include "TrptFmt3.h"

namespace cards {
using report::Length;
using report::mm;

TrptFmt3::TrptFmt3(data::Query& rows)
    : CardReport(rows, 3, mm(56.621), mm(85.990))
{
    addBackground(mm(54.00), mm(85.50));
    addPhoto({mm(16.50), mm(15.29), mm(21.00), mm(27.93)});
    addSample(mm(60.33), mm(13.23), 32);
    const SlotPlace place {{mm(17.99), mm(45.77), Length(), mm(4.50)},
                           mm(15.88),
                           mm(47.10),
                           mm(3.70),
                           {mm(17.05), mm(49.98), mm(34.00), mm(1.32)}};
    for (int k = 0; k < slotCount; ++k)
        addSlot(k, place);
    addAddress(mm(10.05), mm(11.11), 22);
}

} // namespace cards
