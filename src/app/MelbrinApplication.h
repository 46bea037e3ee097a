#pragma once

#include <QApplication>

namespace app {

// The application object of the desktop program. Commands run their handlers through the
// general error handler themselves; this catches whatever an event handler still lets
// escape, shows it the same way, and the program goes on.
class MelbrinApplication : public QApplication
{
    Q_OBJECT
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace app
