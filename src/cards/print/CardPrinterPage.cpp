#include "CardPrinterPage.h"

#include "report/Report.h"

namespace cards {

void useCardPrinterPage(report::Report& report, const report::LengthRect& card)
{
    const bool upright = card.height > card.width;
    report::PageSetup& page = report.page;
    page.paperWidth = upright ? cardShortSide() : cardLongSide();
    page.paperHeight = upright ? cardLongSide() : cardShortSide();
    page.topMargin = page.bottomMargin = page.leftMargin = page.rightMargin = report::Length();
    page.columns = 1;
    page.columnSpace = report::Length();
    page.fitBands = true;
    page.fitArea = card;
}

} // namespace cards
