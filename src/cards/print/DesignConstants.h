#pragma once

#include <QColor>
#include <QString>

namespace cards {

// The maker's web address, printed on every card and check-list box as in the About box.
inline QString makerWebAddress()
{
    return QStringLiteral("www.tavrik.example.com");
}

// The watermark colour.
inline QColor silver()
{
    return QColor(0xC0, 0xC0, 0xC0);
}

// The window text colour of the reports: black, as on the classic desktops the designs were
// made on. Never the running desktop's palette, whose text may be light on a dark theme while
// the paper stays white.
inline QColor windowTextColor()
{
    return QColor(0, 0, 0);
}

} // namespace cards
