#include "MelbrinApplication.h"

#include "data/ErrorHandler.h"

namespace app {

bool MelbrinApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        data::showGeneralError(e);
        return false;
    }
}

} // namespace app
