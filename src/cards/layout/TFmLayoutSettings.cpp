// Loading the stored card layout settings into the dialog's controls and storing them back.
#include "CodeOptionsBox.h"
#include "ComponentBlob.h"
#include "FontLabel.h"
#include "SpinEdit.h"
#include "TFmLayout.h"
#include "cards/DatabaseOptions.h"
#include "cards/SettingsProblem.h"
#include "cards/print/CardCode.h"
#include "data/DatabaseSettings.h"
#include "data/Error.h"
#include "data/Tdsrc.h"
#include "data/Utils.h"
#include "imaging/ImageBox.h"
#include "imaging/LoadPicture.h"
#include "imaging/PictureBlob.h"
#include "imaging/StoredPicture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <algorithm>
#include <cmath>

namespace cards {
namespace {

QString slotColumn(int k)
{
    return QStringLiteral("f%1").arg(k);
}

// Reads a settings column; a failing read (a Null, mostly) names the column in its message.
template<typename Read> auto readParam(const QString& column, Read&& read)
{
    try {
        return read();
    } catch (const data::Error& e) {
        throw data::Error(QStringLiteral("param.%1: %2").arg(column, e.message()));
    }
}

} // namespace

void TFmLayout::FormCreate()
{
    const auto openStatic = [](data::Query& query, const QString& sql) {
        if (query.isOpen())
            return;
        query.setSql(sql);
        query.open();
    };
    openStatic(fields, QStringLiteral("select * from fields"));
    openStatic(param, QStringLiteral("select * from param"));
    param.first();

    LoadSlots();
    // The options kept in the database's settings table go straight into their controls.
    CardOptions stored;
    readDatabaseOptions(data::DatabaseSettings(m_dsrc.src), stored);
    cbShrink->setChecked(stored.shrinkText);
    cbWatermark->setChecked(stored.watermark);
    tellSettingsProblemOnce(m_dsrc);
    showOutput(stored.output);

    imaging::LoadPictureFromBlob(param, QStringLiteral("bitmap"), *imgBack);
    imaging::ShowSizeHint(*imgBack);

    cbBack->setChecked(ParamBool(QStringLiteral("printback")));
    const qint32 style = ParamInt(QStringLiteral("style"));
    if (style == 1)
        rbFmt2->setChecked(true);
    else if (style == 2)
        rbFmt3->setChecked(true);
    cbCustom->setChecked(ParamBool(QStringLiteral("custom")));
    cbCustomClick();
    cbLines->setChecked(ParamBool(QStringLiteral("lines")));
    cbCaptions->setChecked(ParamBool(QStringLiteral("captions")));
    // Whole millimetres toward zero; the spin edit pulls the rest into 0..86.
    const double position = ParamFloat(QStringLiteral("position"));
    sePos->setValue(std::isnan(position) ? 0 : int(std::trunc(std::clamp(position, -1.0, 1000.0))));
    LoadComponentFromBlob(param, QStringLiteral("font"), *lbFont);

    rbFmt1Click();
    gbCode->load(fields, stored.code, checkedStyle());
    PageControl1->setCurrentIndex(0);
}

void TFmLayout::LoadSlots()
{
    QStringList items {QStringLiteral("NOT USED")};
    fields.first();
    while (!fields.eof()) {
        items << fields.asString(QStringLiteral("dname"));
        fields.next();
    }
    // The last row stays current, as after a walk to the end of a query: a stored choice
    // that no row matches shows (and saves into) the row that happens to be current.
    fields.moveTo(fields.rowCount() - 1);

    for (QComboBox* list : m_slotLists) {
        list->clear();
        list->addItems(items);
    }
    // A stored value outside the items leaves the list with nothing selected.
    for (int k = 1; k <= 7; ++k) {
        const qint32 choice = ParamInt(slotColumn(k));
        slotList(k)->setCurrentIndex(choice >= 0 && choice < items.size() ? choice : -1);
    }
    for (int k = 1; k <= 7; ++k)
        ShowSlotCaption(slotColumn(k), captionButton(k));
}

qint32 TFmLayout::ParamInt(const QString& column) const
{
    return readParam(column, [&] { return param.asInt(column); });
}

bool TFmLayout::ParamBool(const QString& column) const
{
    return readParam(column, [&] { return param.asBool(column); });
}

double TFmLayout::ParamFloat(const QString& column) const
{
    return readParam(column, [&] { return param.asFloat(column); });
}

void TFmLayout::ShowSlotCaption(const QString& column, QPushButton* button)
{
    const qint32 choice = ParamInt(column);
    if (choice < 1) {
        button->setText(QString());
        return;
    }
    fields.locate(QStringLiteral("seq"), choice);
    button->setText(fields.asString(QStringLiteral("uname")));
}

void TFmLayout::bSaveClick()
{
    checkCodePlace(options());
    param.first();
    param.edit();
    param.setValue(QStringLiteral("printback"), cbBack->isChecked());
    param.setValue(QStringLiteral("lines"), cbLines->isChecked());
    param.setValue(QStringLiteral("captions"), cbCaptions->isChecked());
    param.setValue(QStringLiteral("custom"), cbCustom->isChecked());
    param.setValue(QStringLiteral("position"), sePos->value());
    SaveComponentToBlob(param, QStringLiteral("font"), *lbFont);
    param.setValue(QStringLiteral("style"), checkedStyle());
    imaging::SavePictureToBlob(param, QStringLiteral("bitmap"), *imgBack);
    param.post();

    for (int k = 1; k <= 7; ++k)
        SaveSlot(slotColumn(k), captionButton(k), slotList(k));
    data::DatabaseSettings settings(m_dsrc.src);
    writeDatabaseOptions(settings, options());
    LoadSlots();
    data::ShowSettingsSaved();
}

void TFmLayout::SaveSlot(const QString& column, QPushButton* button, QComboBox* list)
{
    const int choice = list->currentIndex();
    param.edit();
    param.setValue(column, choice);
    param.post();
    if (choice <= 0)
        return;

    fields.locate(QStringLiteral("seq"), choice);
    fields.edit();
    if (button->text().isEmpty())
        button->setText(fields.asString(QStringLiteral("dname")));
    fields.setValue(QStringLiteral("uname"), button->text());
    fields.post();
}

} // namespace cards
