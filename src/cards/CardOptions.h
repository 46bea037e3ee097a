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
};

} // namespace cards
