#pragma once

#include "CardReport.h"

namespace cards {

// Card style 2: a landscape card, texts at the left and photo at the right, two across.
class TrptFmt2 : public CardReport
{
public:
    explicit TrptFmt2(data::Query& rows);
};

} // namespace cards
