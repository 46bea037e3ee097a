#pragma once

#include "QuerySource.h"
#include "cards/DataTextControl.h"
#include "cards/ImageControl.h"
#include "cards/LabelControl.h"
#include "cards/Report.h"
#include "data/Query.h"

#include <array>

namespace data {
class Connection;
}

namespace cards {

// The check list: every member of every group, by group number and then by name, as a framed
// box with the photo and six data texts, three columns of nine boxes to an A4 page, with the
// title "Member List" at the top and the page number at the bottom of each page. Its query
// "data" is opened when the report is created.
class TqrMemList
{
public:
    explicit TqrMemList(data::Connection& src);
    TqrMemList(const TqrMemList&) = delete;
    TqrMemList& operator=(const TqrMemList&) = delete;

    data::Query data;
    Report report;
    Band* QRSubDetail1 = nullptr;
    Band* ChildBand1 = nullptr;
    ImageControl* qrPhoto = nullptr;
    LabelControl* QRLabel8 = nullptr; // "Check List"
    LabelControl* QRLabel9 = nullptr; // the maker's web address
    std::array<DataTextControl*, 6> QRDBText {};
    SystemDataControl* QRSysData1 = nullptr; // the title
    SystemDataControl* QRSysData2 = nullptr; // the page number

    // Loads the current member's photo into qrPhoto at 120 by 160 pixels; a member without
    // one leaves the box empty.
    void QRSubDetail1BeforePrint(Band& band, bool& print);

private:
    void addLabel(LabelControl*& label, double top, const QString& text);

    QuerySource m_source;
};

} // namespace cards
