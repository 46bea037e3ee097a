#pragma once

#include <QString>
#include <stdexcept>

namespace data {

// Every failure the program reports is one of these: the message is what the user sees.
class Error : public std::runtime_error
{
public:
    explicit Error(const QString& message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    { }
    const QString& message() const noexcept { return m_message; }

private:
    QString m_message;
};

// A change refused because another station changed or removed the row since it was read:
// nothing was stored. Whoever catches it re-reads the list before the message is shown.
class RowConflict : public Error
{
public:
    RowConflict()
        : Error(QStringLiteral("This member was changed at another station. The list has been "
                               "refreshed."))
    { }
};

// The text the general error handler shows: a full stop is appended when the last
// character sorts after ".".
QString displayText(const QString& message);

} // namespace data
