#pragma once

#include <QDialog>

namespace app {

class Taboutbox : public QDialog
{
    Q_OBJECT
public:
    explicit Taboutbox(QWidget* parent = nullptr);

    static QString webAddress() { return QStringLiteral("www.tavrik.example.com"); }

protected:
    // The box opens in the middle of the screen, wherever the main window stands.
    void showEvent(QShowEvent* event) override;
};

} // namespace app
