#include "cards/CardPreview.h"

#include "BindSlot.h"
#include "CardCode.h"
#include "CardPrinterPage.h"
#include "FitText.h"
#include "FormatStr.h"
#include "OwnedImage.h"
#include "ReportRender.h"
#include "TrptFmt1.h"
#include "TrptFmt2.h"
#include "TrptFmt3.h"
#include "data/Answers.h"
#include "report/ReportLayout.h"
#include "report/TextMetrics.h"

namespace cards {

std::unique_ptr<CardReport> makeCardReport(const CardOptions& options, data::Query& fields,
                                           data::Query& rows)
{
    std::unique_ptr<CardReport> card;
    switch (options.style) {
    case 0:
        card = std::make_unique<TrptFmt1>(rows);
        break;
    case 1:
        card = std::make_unique<TrptFmt2>(rows);
        break;
    case 2:
        card = std::make_unique<TrptFmt3>(rows);
        break;
    default:
        return nullptr;
    }
    for (std::size_t k = 0; k < options.slotChoices.size(); ++k) {
        BindSlot(options, *card->QRLabel[k], *card->QRDBText[k], FormatStr, *card->QRShape[k],
                 options.slotChoices[k], fields);
    }
    if (options.shrinkText)
        fitCardTexts(*card);
    card->QRLabel8->enabled = options.watermark;
    card->QRLabel9->enabled = options.watermark;
    if (options.printBack)
        card->QRImage1->picture = ownedImage(options.background);
    addCardCode(*card, options, rows);
    if (options.output == CardOutput::CardPrinter)
        useCardPrinterPage(card->report, card->QRImage1->rect);
    return card;
}

std::vector<report::Page> cardPages(const CardOptions& options, data::Query& fields,
                                    data::Query& rows, const report::TextMetrics& metrics)
{
    const std::unique_ptr<CardReport> card = makeCardReport(options, fields, rows);
    if (!card)
        return {};
    return report::ReportLayout(metrics).pages(card->report);
}

void PreviewCards(QWidget* owner, const CardOptions& options, data::Query& fields,
                  data::Query& rows)
{
    const std::unique_ptr<CardReport> card = makeCardReport(options, fields, rows);
    if (!card)
        return;
    const report::TextMetrics metrics;
    data::answers().previewWithStatus(
        owner,
        [&](QPagedPaintDevice* device) {
            card->codeRefusals.clear();
            printReport(card->report, *device, metrics);
        },
        [&] { return codeStatus(card->codeRefusals); });
}

} // namespace cards
