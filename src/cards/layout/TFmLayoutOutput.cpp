// The card layout dialog's choice of output: A4 sheets of the style's design, or one card per
// page of a card printer.
#include "TFmLayout.h"
#include "data/WidgetUtils.h"

#include <QGroupBox>
#include <QRadioButton>

namespace cards {

void TFmLayout::buildOutput()
{
    gbOutput = data::groupBox(TabSheet3, "gbOutput", QStringLiteral("Output"), {256, 4, 153, 73});
    rbSheet = data::place<QRadioButton>(gbOutput, "rbSheet", {8, 20, 137, 17});
    rbSheet->setText(QStringLiteral("A4 sheet"));
    rbCardPrinter = data::place<QRadioButton>(gbOutput, "rbCardPrinter", {8, 44, 137, 17});
    rbCardPrinter->setText(QStringLiteral("Card printer"));
    rbSheet->setChecked(true);
}

CardOutput TFmLayout::checkedOutput() const
{
    return rbCardPrinter->isChecked() ? CardOutput::CardPrinter : CardOutput::Sheet;
}

void TFmLayout::showOutput(CardOutput output)
{
    (output == CardOutput::CardPrinter ? rbCardPrinter : rbSheet)->setChecked(true);
}

} // namespace cards
