#include "ErrorHandler.h"

#include "Answers.h"
#include "Error.h"

namespace data {

void showGeneralError(const std::exception& error)
{
    const auto* own = dynamic_cast<const Error*>(&error);
    const QString text = own ? own->message() : QString::fromLocal8Bit(error.what());
    try {
        answers().message(MessageIcon::Error, QStringLiteral("Melbrin"), displayText(text));
    } catch (...) {
        // Nothing is left to tell the user with.
    }
}

} // namespace data
