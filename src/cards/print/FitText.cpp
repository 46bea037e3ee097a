#include "FitText.h"

#include "CardReport.h"
#include "TqrMemList.h"

namespace cards {
namespace {

constexpr double minPoints = 6;

void fitWithin(report::TextControl& text, const report::LengthRect& limit,
               const report::LengthRect& photo)
{
    text.fit = report::TextControl::Fit {limit, {photo}, minPoints};
}

} // namespace

void fitCardTexts(CardReport& card)
{
    // The background picture covers the card exactly.
    const report::LengthRect edge = card.QRImage1->rect;
    const report::LengthRect photo = card.qrPhoto->rect;
    for (std::size_t k = 0; k < CardReport::slotCount; ++k) {
        fitWithin(*card.QRDBText[k], edge, photo);
        fitWithin(*card.QRLabel[k], edge, photo);
    }
}

void fitCheckListTexts(TqrMemList& list)
{
    const report::Band& box = *list.QRSubDetail1;
    const report::Length frame = box.frame.width;
    const report::LengthRect inner {frame, frame, box.width - frame * 2, box.height - frame * 2};
    for (report::DataTextControl* text : list.QRDBText)
        fitWithin(*text, inner, list.qrPhoto->rect);
}

} // namespace cards
