#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>
#include <span>

namespace cards {

// The identifier tables of the label stream: named colours and named character sets.
class LabelNames
{
public:
    struct Entry
    {
        const char* name;
        qint32 value;
    };

    static std::span<const Entry> colors();
    static std::span<const Entry> charsets();

    // The name of a value, empty when it has none.
    static QString colorName(qint32 color);
    static QString charsetName(qint32 charset);
    // The value of a name (exact letter case), none for an unknown name.
    static std::optional<qint32> colorValue(QStringView name);
    static std::optional<qint32> charsetValue(QStringView name);
};

} // namespace cards
