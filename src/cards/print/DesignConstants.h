#pragma once

#include <QColor>
#include <QGuiApplication>
#include <QPalette>
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

// The system's window text colour.
inline QColor windowTextColor()
{
    return QGuiApplication::palette().color(QPalette::WindowText);
}

} // namespace cards
