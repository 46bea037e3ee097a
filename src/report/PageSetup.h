#pragma once

#include "report/Length.h"
#include "report/LengthRect.h"

#include <optional>

namespace report {

// Paper, margins and columns of a report.
struct PageSetup
{
    Length paperWidth = Length::mm(210);
    Length paperHeight = Length::mm(297);
    Length topMargin = Length::mm(10);
    Length bottomMargin = Length::mm(10);
    Length leftMargin = Length::mm(10);
    Length rightMargin = Length::mm(10);
    int columns = 1;
    Length columnSpace;
    // With no rows, the row bands print once as for a row whose columns are all empty.
    bool printIfEmpty = true;
    // Every band on a page of its own, scaled uniformly so that it covers the paper edge to
    // edge and centred on it; what then lies beyond the paper's edges is cut off. Margins and
    // columns are not used.
    bool fitBands = false;
    // The part of each band, in the band's own coordinates, that is to cover the paper when
    // bands are fitted; the whole band when unset.
    std::optional<LengthRect> fitArea;
};

} // namespace report
