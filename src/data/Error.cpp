#include "Error.h"

namespace data {

QString displayText(const QString& message)
{
    if (!message.isEmpty() && message.back() > QChar(u'.'))
        return message + u'.';
    return message;
}

} // namespace data
