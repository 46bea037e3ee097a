#pragma once

#include "QuerySource.h"
#include "cards/DataTextControl.h"
#include "cards/ImageControl.h"
#include "cards/LabelControl.h"
#include "cards/LineControl.h"
#include "cards/Report.h"

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

    Report report;
    ImageControl* QRImage1 = nullptr; // the card background
    ImageControl* qrPhoto = nullptr;
    LabelControl* QRLabel8 = nullptr; // "SAMPLE"
    LabelControl* QRLabel9 = nullptr; // the maker's web address
    std::array<DataTextControl*, slotCount> QRDBText {};
    std::array<LabelControl*, slotCount> QRLabel {}; // the slot captions
    std::array<LineControl*, slotCount> QRShape {};

    // Loads the current row's photo into qrPhoto, none for a member without one; with no row
    // the photo stays as it is.
    void DetailBand1BeforePrint(Band& band, bool& print);

protected:
    // The slot pitch: 20 pixels at 96 pixels per inch.
    static Length pitch(int slot) { return Length::mm(5.2917 * slot); }

    CardReport(data::Query& rows, int columns, Length bandWidth, Length bandHeight);

    void addBackground(Length width, Length height);
    void addPhoto(LengthRect rect);
    // A silver, bold italic label centred across the band.
    LabelControl& addWatermark(Length top, Length height, int points, const QString& text);
    LabelControl& addSample(Length top, Length height, int points);
    LabelControl& addAddress(Length top, Length height, int points);

    struct SlotPlace
    {
        LengthRect data; // of slot 1; the others one pitch further down each
        Length captionRight;
        Length captionTop;
        Length captionHeight;
        LengthRect line;
    };
    // Slot index's data text, caption and line, in that drawing order.
    void addSlot(int index, const SlotPlace& place);

    Band& band() { return *report.detailBand(); }

private:
    data::Query& m_rows;
    QuerySource m_source;
};

} // namespace cards
