#pragma once

#include "exchange/PhotoFolderImport.h"

#include <QDialog>

class QRadioButton;

namespace app {

// Asks how the photos of a folder are matched with members and fitted to the card: by staff
// no or by name; pictures not 3:4 cropped or stretched. Staff no and crop are chosen at first.
class PhotoImportDialog : public QDialog
{
    Q_OBJECT
public:
    PhotoImportDialog(QWidget* parent, const QString& folder);

    exchange::PhotoFolderOptions options() const;

    QRadioButton* rbStaffNo = nullptr;
    QRadioButton* rbName = nullptr;
    QRadioButton* rbCrop = nullptr;
    QRadioButton* rbStretch = nullptr;
};

} // namespace app
