#pragma once

#include "cards/CardOptions.h"
#include "report/Page.h"

#include <memory>
#include <vector>

class QWidget;

namespace data {
class Query;
}

namespace report {
class TextMetrics;
} // namespace report

namespace cards {

class CardReport;

// The card report of the options' style (0, 1 or 2; anything else gives none), printing one
// card for every row of rows, with the seven slots bound to the options (columns looked up in
// fields, the layout's "select * from fields"), the watermarks as the options choose and the
// background in when it is to be printed; for card printer output, one card per page of the
// card's size.
std::unique_ptr<CardReport> makeCardReport(const CardOptions& options, data::Query& fields,
                                           data::Query& rows);

// The pages those cards make, laid out without drawing.
std::vector<report::Page> cardPages(const CardOptions& options, data::Query& fields,
                                    data::Query& rows, const report::TextMetrics& metrics);

// Shows the cards of the open rows in the print preview and returns when it has been closed.
void PreviewCards(QWidget* owner, const CardOptions& options, data::Query& fields,
                  data::Query& rows);

} // namespace cards
