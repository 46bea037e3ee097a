#pragma once

#include "CardReport.h"

namespace cards {

// Card style 3: a portrait card, photo at the top and texts below it, three across.
class TrptFmt3 : public CardReport
{
public:
    explicit TrptFmt3(data::Query& rows);
};

} // namespace cards
