#pragma once

#include "cards/LabelProperties.h"

#include <QColor>
#include <QLabel>

namespace cards {

// The "Demo Text" label of the custom options: it shows the custom font and keeps the
// label's stored description (place, size, caption, alignment, font with its colour,
// character set and pitch), which is what the settings store and load.
class FontLabel : public QLabel
{
    Q_OBJECT
public:
    explicit FontLabel(QWidget* parent = nullptr);

    const LabelProperties& properties() const { return m_properties; }
    // Shows the description: place and size, caption, alignment, font and colour; the name
    // stays the label's own. A label
    // that takes its parent's font shows the parent's font and text colour.
    void setProperties(const LabelProperties& properties);

    // The colour the text prints in: the stored font colour, black for the parent's font.
    QColor color() const;

private:
    LabelProperties m_properties;
};

} // namespace cards
