#pragma once

namespace data {
class Connection;
}

namespace cards {

class CardReport;
class TqrMemList;

// "Shrink long text to fit" on a card: each slot's data text and caption is drawn smaller,
// down to 6 points, where it would cross the card's edge or run into the photo, and what
// still does not fit is cut at the edge.
void fitCardTexts(CardReport& card);

// The same for the data texts of the check list's boxes, within the box's frame.
void fitCheckListTexts(TqrMemList& list);

// True when the database asks for long text to be shrunk; false without the setting.
bool shrinksText(data::Connection& src);

} // namespace cards
