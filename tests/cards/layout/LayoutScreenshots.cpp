// Writes a picture of each tab of the card layout dialog, with custom options on and a
// background loaded, into the folder named on the command line.
#include "Fixtures.h"
#include "TempDatabase.h"
#include "cards/layout/TFmLayout.h"
#include "data/Tdsrc.h"
#include "imaging/ImageBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QTabWidget>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral(".")))
        return 1;

    TempDatabase db;
    data::Tdsrc dsrc;
    dsrc.connectTo(db.path());
    cards::TFmLayout dialog(dsrc);
    dialog.cbCustom->setChecked(true);
    dialog.imgBack->setPicture(fixtures::photo(640, 400));
    dialog.show();
    for (int tab = 0; tab < dialog.PageControl1->count(); ++tab) {
        dialog.PageControl1->setCurrentIndex(tab);
        QApplication::processEvents();
        const QString file = folder.filePath(QStringLiteral("layout-tab%1.png").arg(tab + 1));
        if (!dialog.grab().save(file))
            return 1;
        std::printf("%s\n", qPrintable(file));
    }
    return 0;
}
