#pragma once

#include "QuerySource.h"
#include "report/DataTextControl.h"
#include "report/ImageControl.h"
#include "report/LabelControl.h"
#include "report/LineControl.h"
#include "report/Report.h"

#include <array>

namespace data {
class Query;
}

namespace cards {

// What the three card designs share: A4 in two or three columns, one card cell as the detail
// band, the background and photo images, the "SAMPLE" and address watermarks, and seven slots
// of data text, caption and line. One card prints for every row of the query given.
class CardReport
{
public:
    static constexpr int slotCount = 7;

    CardReport(const CardReport&) = delete;
    CardReport& operator=(const CardReport&) = delete;
    virtual ~CardReport() = default;

    report::Report report;
    report::ImageControl* QRImage1 = nullptr; // the card background
    report::ImageControl* qrPhoto = nullptr;
    report::LabelControl* QRLabel8 = nullptr; // "SAMPLE"
    report::LabelControl* QRLabel9 = nullptr; // the maker's web address
    std::array<report::DataTextControl*, slotCount> QRDBText {};
    std::array<report::LabelControl*, slotCount> QRLabel {}; // the slot captions
    std::array<report::LineControl*, slotCount> QRShape {};
    // The members of the last layout whose value the code element could not hold, each with
    // the reason (CardCode.h).
    QStringList codeRefusals;

    // Loads the current row's photo into qrPhoto, none for a member without one; with no row
    // the photo stays as it is.
    void DetailBand1BeforePrint(report::Band& band, bool& print);

protected:
    // The slot pitch: 20 pixels at 96 pixels per inch.
    static report::Length pitch(int slot) { return report::Length::mm(5.2917 * slot); }

    CardReport(data::Query& rows, int columns, report::Length bandWidth, report::Length bandHeight);

    void addBackground(report::Length width, report::Length height);
    void addPhoto(report::LengthRect rect);
    // A silver, bold italic label centred across the band.
    report::LabelControl& addWatermark(report::Length top, report::Length height, int points,
                                       const QString& text);
    report::LabelControl& addSample(report::Length top, report::Length height, int points);
    report::LabelControl& addAddress(report::Length top, report::Length height, int points);

    struct SlotPlace
    {
        report::LengthRect data; // of slot 1; the others one pitch further down each
        report::Length captionRight;
        report::Length captionTop;
        report::Length captionHeight;
        report::LengthRect line;
    };
    // Slot index's data text, caption and line, in that drawing order.
    void addSlot(int index, const SlotPlace& place);

    report::Band& band() { return *report.detailBand(); }

private:
    data::Query& m_rows;
    QuerySource m_source;
};

} // namespace cards
