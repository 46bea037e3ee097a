#pragma once

#include "cards/CardOptions.h"
#include "report/SymbolControl.h"

namespace cards {

// The symbol of a value as a card's code element of the kind prints it, from the vector
// output of the zint library: the modules as filled rectangles (and hexagons and circles,
// which these kinds do not use), with the quiet zones the symbology asks for. A Code 128
// barcode carries the value as text under its bars; a QR code carries none and corrects 15 %
// damage. A value the kind cannot hold (a character outside Latin-1 in Code 128, too much
// data) gives a refusal with zint's reason. Kind None refuses everything.
report::Symbol codeSymbol(CodeElement::Kind kind, const QString& value);

} // namespace cards
