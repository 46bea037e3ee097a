#include "DatabaseDialog.h"

#include "data/Answers.h"
#include "data/Connection.h"
#include "data/ErrorHandler.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace app {

DatabaseDialog::DatabaseDialog(QWidget* parent, const QString& title, const QString& prompt,
                               const QString& current)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("DatabaseDialog"));
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(prompt, this);
    label->setWordWrap(true);
    layout->addWidget(label);

    auto* row = new QHBoxLayout;
    m_field = new QLineEdit(current, this);
    m_field->setObjectName(QStringLiteral("eDatabase"));
    m_field->setMinimumWidth(360);
    m_field->selectAll();
    label->setBuddy(m_field);
    m_browse = new QPushButton(tr("&Browse..."), this);
    m_browse->setObjectName(QStringLiteral("bBrowse"));
    m_browse->setAutoDefault(false);
    row->addWidget(m_field, 1);
    row->addWidget(m_browse);
    layout->addLayout(row);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_browse, &QPushButton::clicked, this, [this] { data::guarded([this] { browse(); }); });
}

QString DatabaseDialog::database() const
{
    return m_field->text().trimmed();
}

QString DatabaseDialog::fileFilter()
{
    return tr("Card Databases (*.mdb);;All Files (*)");
}

void DatabaseDialog::browse()
{
    // The file dialog starts at the file named, unless a server is.
    const QString typed = database();
    const QString start = data::isServerAddress(typed) ? QString() : typed;
    const std::optional<QString> file = data::answers().openFileName(
        this, fileFilter(), tr("Open Database"), start, QStringLiteral("mdb"));
    if (file)
        m_field->setText(QFileInfo(*file).absoluteFilePath());
}

} // namespace app
