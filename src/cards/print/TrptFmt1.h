#pragma once

#include "CardReport.h"

namespace cards {

// Card style 1: a landscape card, photo at the left and texts at the right, two across.
class TrptFmt1 : public CardReport
{
public:
    explicit TrptFmt1(data::Query& rows);
};

} // namespace cards
