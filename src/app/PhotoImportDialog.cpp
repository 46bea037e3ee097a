#include "PhotoImportDialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace app {
namespace {

QGroupBox* choiceBox(const QString& title, QRadioButton* first, QRadioButton* second)
{
    auto* box = new QGroupBox(title);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(first);
    layout->addWidget(second);
    first->setChecked(true);
    return box;
}

} // namespace

PhotoImportDialog::PhotoImportDialog(QWidget* parent, const QString& folder)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("PhotoImportDialog"));
    setWindowTitle(tr("Import Photos"));
    auto* layout = new QVBoxLayout(this);
    auto* from = new QLabel(tr("Photos from %1").arg(QDir::toNativeSeparators(folder)));
    from->setWordWrap(true);
    layout->addWidget(from);

    rbStaffNo = new QRadioButton(tr("&Staff no"));
    rbStaffNo->setObjectName(QStringLiteral("rbStaffNo"));
    rbName = new QRadioButton(tr("&Name"));
    rbName->setObjectName(QStringLiteral("rbName"));
    layout->addWidget(choiceBox(tr("File names give the member's"), rbStaffNo, rbName));

    rbCrop = new QRadioButton(tr("&Crop to 3:4 around the centre"));
    rbCrop->setObjectName(QStringLiteral("rbCrop"));
    rbStretch = new QRadioButton(tr("S&tretch onto the card"));
    rbStretch->setObjectName(QStringLiteral("rbStretch"));
    layout->addWidget(choiceBox(tr("Pictures not 3 wide by 4 high"), rbCrop, rbStretch));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    rbStaffNo->setFocus();
}

exchange::PhotoFolderOptions PhotoImportDialog::options() const
{
    return {rbName->isChecked() ? exchange::PhotoMatch::Name : exchange::PhotoMatch::StaffNo,
            rbStretch->isChecked() ? imaging::PhotoFit::Stretch : imaging::PhotoFit::Crop};
}

} // namespace app
