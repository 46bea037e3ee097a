#pragma once

class QCheckBox;
class QWidget;

namespace cards {

// "Shrink long text to fit" on the Custom Options tab, below the text options; it applies
// with custom options on or off.
QCheckBox* addShrinkTextBox(QWidget* tab);

} // namespace cards
