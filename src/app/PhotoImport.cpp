// The photo folder import and the Photo button's choice of fit.
#include "PhotoImportDialog.h"
#include "TMelbrin.h"
#include "data/Answers.h"
#include "data/ErrorHandler.h"
#include "data/SettingsStore.h"
#include "data/Tdsrc.h"
#include "exchange/PhotoFolderImport.h"
#include "imaging/TPg.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QStyle>
#include <QToolBar>

namespace app {
namespace {

// Entries of each list named in the closing report; the rest are counted.
constexpr int reportEntries = 10;

const QString cropSetting = QStringLiteral("PhotoCrop");

} // namespace

void TMelbrin::buildPhotoCommands()
{
    actImportPhotos
        = new QAction(style()->standardIcon(QStyle::SP_DirOpenIcon), tr("Import &Photos"), this);
    actImportPhotos->setObjectName(QStringLiteral("actImportPhotos"));
    actImportPhotos->setIconText(actImportPhotos->text());
    ActionToolBar1->insertAction(actCheckList, actImportPhotos);
    connect(actImportPhotos, &QAction::triggered, this,
            [this] { data::guarded([this] { actImportPhotosExecute(); }); });

    // Beside Clear, under the Photo button it serves.
    cbPhotoCrop = new QCheckBox(tr("Crop"), GroupBox2);
    cbPhotoCrop->setObjectName(QStringLiteral("cbPhotoCrop"));
    cbPhotoCrop->setToolTip(tr("The Photo button crops a picture not 3 wide by 4 high to 3:4 "
                               "around its centre; unchecked, the card stretches it"));
    cbPhotoCrop->setGeometry(74, 215, 60, 25);
    cbPhotoCrop->setChecked(data::ReadRegBool(cropSetting, false));
    connect(cbPhotoCrop, &QCheckBox::toggled, this,
            [](bool crop) { data::guarded([crop] { data::WriteRegBool(cropSetting, crop); }); });
    QWidget::setTabOrder(bpClear, cbPhotoCrop);
}

imaging::PhotoFit TMelbrin::photoFit() const
{
    return cbPhotoCrop->isChecked() ? imaging::PhotoFit::Crop : imaging::PhotoFit::Stretch;
}

void TMelbrin::actImportPhotosExecute()
{
    const std::optional<QString> folder = data::answers().chooseFolder(this, tr("Import Photos"));
    if (!folder)
        return;
    PhotoImportDialog dialog(this, *folder);
    if (dialog.exec() != QDialog::Accepted)
        return;
    exchange::PhotoFolderReport report;
    {
        imaging::TPg progress(this);
        report = exchange::importPhotoFolder(m_dsrc, *folder, dialog.options(), progress);
    }
    OpenGroupMembers();
    ShowDetails();
    const QString text = exchange::photoFolderReportText(report, reportEntries);
    if (report.failed())
        data::showError(text, report.failure);
    else
        data::showNotice(text);
}

} // namespace app
