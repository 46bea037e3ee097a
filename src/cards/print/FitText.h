#pragma once

namespace cards {

class CardReport;
class TqrMemList;

// "Shrink long text to fit" on a card: each slot's data text and caption is drawn smaller,
// down to 6 points, where it would cross the card's edge or run into the photo, and what
// still does not fit is cut at the edge.
void fitCardTexts(CardReport& card);

// The same for the data texts of the check list's boxes, within the box's frame.
void fitCheckListTexts(TqrMemList& list);

} // namespace cards
