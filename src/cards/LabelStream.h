#pragma once

#include "cards/LabelProperties.h"

#include <QByteArray>
#include <QByteArrayView>

namespace cards {

// The serialised label held in the settings' font column: a signature, the class and
// component names, one record per written property and two end markers.
class LabelStream
{
public:
    // The records of the label, in their fixed order.
    static QByteArray write(const LabelProperties& label);

    // Applies the records of the stream to the label in the order they come. Reading stops
    // silently at the first thing it cannot take (short or foreign stream, unknown property,
    // value of the wrong kind, unknown identifier); what was applied before stays. Returns
    // true when the whole stream, end markers included, was read.
    static bool read(QByteArrayView stream, LabelProperties& label);
};

} // namespace cards
