#pragma once

#include "report/PageItem.h"

#include <vector>

namespace report {

// Maps items onto the paper anew: every position p becomes p * factor + (dx, dy), and every
// size, line width and font grows by the factor, so the items keep their proportions.
void transformItems(std::vector<PageItem>& items, double factor, Length dx, Length dy);

} // namespace report
