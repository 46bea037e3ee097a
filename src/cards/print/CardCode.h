#pragma once

#include "cards/CardOptions.h"

#include <QSizeF>
#include <QStringList>

namespace data {
class Query;
}

namespace cards {

class CardReport;

// A style's card (0, 1 or 2) in millimetres: its background's size, landscape or portrait.
QSizeF cardSize(int style);

// Where a code element of the kind goes on a card of the style until the user places it: in
// the strip above the photo and the text slots, so that it covers neither wherever the text
// position puts the texts.
CodeElement defaultCodePlace(int style, CodeElement::Kind kind);

// The options' code element with its place: the user's, or the style's default.
CodeElement placedCode(const CardOptions& options);

// Throws data::Error with a message for the user when the options' code element would not lie
// whole on the card, or is too small to be read. Kind None passes.
void checkCodePlace(const CardOptions& options);

// Adds the options' code element to the card's band, encoding the column it names in each
// member's row; nothing for kind None. A member whose value the kind cannot hold prints no
// code and is named in the card's codeRefusals. Throws data::Error when the element does not
// fit the card (checkCodePlace) or its field is not a column of the rows.
void addCardCode(CardReport& card, const CardOptions& options, data::Query& rows);

// The preview's status line for those refusals, the first few named; empty for none.
QString codeStatus(const QStringList& refusals);

} // namespace cards
