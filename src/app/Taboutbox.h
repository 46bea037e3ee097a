#pragma once

#include <QDialog>

namespace app {

class Taboutbox : public QDialog
{
    Q_OBJECT
public:
    explicit Taboutbox(QWidget* parent = nullptr);

    static QString webAddress() { return QStringLiteral("www.tavrik.example.com"); }
};

} // namespace app
