#pragma once

#include "imaging/Picture.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <array>

namespace cards {

// One of the seven text positions of a card as the layout dialog holds it: the index of the
// chosen field in the slot list (0 "NOT USED", n the fields row with seq n, -1 nothing
// selected) and the caption on the slot's caption button.
struct SlotChoice
{
    int fieldIndex = 0;
    QString caption;
};

// Where the cards go: A4 sheets of the style's design, or one card per page of a card printer.
enum class CardOutput { Sheet, CardPrinter };

// The one barcode or QR code a card may carry: its kind, the member column it encodes and its
// place on the card in millimetres from the card's top left corner. Until placed, the style's
// default place is used.
struct CodeElement
{
    enum class Kind { None, Code128, Qr };
    Kind kind = Kind::None;
    QString field = QStringLiteral("staffno");
    bool placed = false;
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
};

// Everything card rendering reads from the layout dialog's controls, saved or not.
struct CardOptions
{
    std::array<SlotChoice, 7> slotChoices;
    int style = 0; // 0, 1 or 2: the checked style button
    bool printBack = false; // "Print Background"
    imaging::Picture background; // the dialog's background picture
    bool custom = false; // "Custom Options"
    bool lines = false; // "Print Lines"
    bool captions = false; // "Print Captions"
    int position = 0; // "Text Position", whole millimetres
    QFont font; // the custom font (face, size, style, character set, pitch)
    QColor fontColor = Qt::black; // and its colour

    // Kept in the database's settings table; the defaults are the cards as they always were.
    bool watermark = true; // "Print SAMPLE watermark": "SAMPLE" and the maker's address
    CardOutput output = CardOutput::Sheet;
    CodeElement code;
    bool shrinkText = false; // "Shrink long text to fit"
};

} // namespace cards
