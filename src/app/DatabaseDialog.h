#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace app {

// Asks which card database to open: a file, typed or found with "Browse...", or a server
// address typed as "postgresql://user@host:port/dbname".
class DatabaseDialog : public QDialog
{
    Q_OBJECT
public:
    DatabaseDialog(QWidget* parent, const QString& title, const QString& prompt,
                   const QString& current);

    QString database() const;
    QLineEdit* field() const { return m_field; }
    QPushButton* browseButton() const { return m_browse; }

    // The filter of the file dialog that "Browse..." opens.
    static QString fileFilter();

private:
    void browse();

    QLineEdit* m_field = nullptr;
    QPushButton* m_browse = nullptr;
};

} // namespace app
