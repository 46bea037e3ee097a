#pragma once

#include "cards/CardOptions.h"
#include "report/DataTextControl.h"

namespace data {
class Query;
}

namespace report {
class LabelControl;
class LineControl;
} // namespace report

namespace cards {

// Applies one slot's settings to its caption label, data text and line. Under custom options
// the data text moves to the text position and takes the custom font, the line takes the
// font's colour and prints only if lines are on, and the caption takes the font's face and
// colour at 7 points bold and prints only if captions are on. The caption's text is the
// slot's. A slot below 1 prints no value and no line; otherwise the fields row whose seq is
// the slot's index names the column (a miss takes the current fields row), and "datejoin" and
// "expiry" print through formatHandler.
void BindSlot(const CardOptions& options, report::LabelControl& caption,
              report::DataTextControl& value,
              const report::DataTextControl::PrintHandler& formatHandler, report::LineControl& line,
              const SlotChoice& slot, data::Query& fields);

} // namespace cards
