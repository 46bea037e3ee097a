#pragma once

#include "QuerySource.h"
#include "data/Query.h"
#include "report/DataTextControl.h"
#include "report/ImageControl.h"
#include "report/LabelControl.h"
#include "report/Report.h"

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
    report::Report report;
    report::Band* QRSubDetail1 = nullptr;
    report::Band* ChildBand1 = nullptr;
    report::ImageControl* qrPhoto = nullptr;
    report::LabelControl* QRLabel8 = nullptr; // "Check List"
    report::LabelControl* QRLabel9 = nullptr; // the maker's web address
    std::array<report::DataTextControl*, 6> QRDBText {};
    report::SystemDataControl* QRSysData1 = nullptr; // the title
    report::SystemDataControl* QRSysData2 = nullptr; // the page number

    // Loads the current member's photo into qrPhoto at 120 by 160 pixels; a member without
    // one leaves the box empty.
    void QRSubDetail1BeforePrint(report::Band& band, bool& print);

private:
    void addLabel(report::LabelControl*& label, double top, const QString& text);

    QuerySource m_source;
};

} // namespace cards
