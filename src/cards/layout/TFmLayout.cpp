#include "TFmLayout.h"

#include "CodeOptionsBox.h"
#include "FontLabel.h"
#include "SpinEdit.h"
#include "cards/CardOptions.h"
#include "cards/print/CardCommands.h"
#include "data/ErrorHandler.h"
#include "data/Tdsrc.h"
#include "data/WidgetUtils.h"
#include "imaging/ImageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>
#include <QTabBar>
#include <QTabWidget>

namespace cards {
namespace {

// The small dialog font; where it is missing, a face of the same narrow metrics, so that
// captions fit the controls' designed widths.
QFont dialogFont()
{
    const QString face = QStringLiteral("MS Sans Serif");
    return QFont(QFontDatabase::hasFamily(face) ? face : QStringLiteral("Arial"), 8);
}

} // namespace

TFmLayout::TFmLayout(data::Tdsrc& dsrc, QWidget* owner)
    : QDialog(owner)
    , fields(dsrc.src, QStringLiteral("fields"))
    , param(dsrc.src, QStringLiteral("param"))
    , m_dsrc(dsrc)
{
    setObjectName(QStringLiteral("FmLayout"));
    setWindowTitle(QStringLiteral("Card Layout"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFont(dialogFont());
    setFixedSize(424, 325);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(0, 0, 424, 293);
    const char* names[] = {"TabSheet1", "TabSheet2", "TabSheet3", "TabSheet4"};
    const QString titles[] = {QStringLiteral("Data Fields"), QStringLiteral("Card Background"),
                              QStringLiteral("Card Style"), QStringLiteral("Custom Options")};
    QWidget** sheets[] = {&TabSheet1, &TabSheet2, &TabSheet3, &TabSheet4};
    for (int i = 0; i < 4; ++i) {
        *sheets[i] = new QWidget;
        (*sheets[i])->setObjectName(QLatin1String(names[i]));
        PageControl1->addTab(*sheets[i], titles[i]);
    }

    buildDataFields();
    buildBackground();
    buildStyle();
    buildWatermarkChoice();
    buildOutput();
    buildCustomOptions();
    buildBottomStrip();

    // Everything the user clicks shows the hand, except "Change".
    PageControl1->tabBar()->setCursor(Qt::PointingHandCursor);
    for (QAbstractButton* clickable : findChildren<QAbstractButton*>())
        if (clickable != bFont)
            clickable->setCursor(Qt::PointingHandCursor);
    for (QComboBox* list : m_slotLists)
        list->setCursor(Qt::PointingHandCursor);

    // Group box titles drawn on the frame's top line, so that the designed places of the
    // controls inside fall below them.
    if (QStyle* framed = QStyleFactory::create(QStringLiteral("Windows"))) {
        framed->setParent(this);
        for (QGroupBox* box : findChildren<QGroupBox*>())
            box->setStyle(framed);
    }

    connectHandlers();
    FormCreate();
}

TFmLayout::~TFmLayout() = default;

void TFmLayout::connectHandlers()
{
    // Every handler runs through the general error handler: an error ends the handler, is
    // shown, and the dialog stays.
    auto on = [this](auto* sender, auto signal, void (TFmLayout::*handler)()) {
        connect(sender, signal, this,
                [this, handler] { data::guarded([&] { (this->*handler)(); }); });
    };
    // "Preview" closes the dialog with OK also when the preview failed; "Exit" with Cancel.
    connect(Button1, &QPushButton::clicked, this, [this] {
        data::guarded([this] { Button1Click(); });
        accept();
    });
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    on(bSave, &QPushButton::clicked, &TFmLayout::bSaveClick);
    for (QPushButton* caption : m_captionButtons)
        connect(caption, &QPushButton::clicked, this,
                [this, caption] { data::guarded([&] { Button3Click(caption); }); });
    on(bLoad, &QPushButton::clicked, &TFmLayout::bLoadClick);
    on(bClear, &QPushButton::clicked, &TFmLayout::bClearClick);
    on(bRotate, &QPushButton::clicked, &TFmLayout::bRotateClick);
    on(Button10, &QPushButton::clicked, &TFmLayout::Button10Click);
    on(cbCustom, &QCheckBox::toggled, &TFmLayout::cbCustomClick);
    on(bFont, &QPushButton::clicked, &TFmLayout::bFontClick);
    for (QRadioButton* style : {rbFmt1, rbFmt2, rbFmt3})
        on(style, &QRadioButton::toggled, &TFmLayout::rbFmt1Click);
}

void TFmLayout::showEvent(QShowEvent* event)
{
    // Centred once only: before the window manager has framed the dialog again its frame is
    // not known, so centring on every show would place it by the frame one time and by the
    // client area the next.
    if (!m_placed) {
        data::centreOnScreen(this);
        m_placed = true;
    }
    QDialog::showEvent(event);
}

CardOptions TFmLayout::options() const
{
    CardOptions result;
    for (int k = 1; k <= 7; ++k)
        result.slotChoices.at(k - 1) = {slotList(k)->currentIndex(), captionButton(k)->text()};
    result.style = checkedStyle();
    result.printBack = cbBack->isChecked();
    result.background = imgBack->picture();
    result.custom = cbCustom->isChecked();
    result.lines = cbLines->isChecked();
    result.captions = cbCaptions->isChecked();
    result.position = sePos->value();
    result.font = lbFont->font();
    result.fontColor = lbFont->color();
    result.watermark = cbWatermark->isChecked();
    result.output = checkedOutput();
    result.code = gbCode->code();
    result.shrinkText = cbShrink->isChecked();
    return result;
}

int TFmLayout::checkedStyle() const
{
    return rbFmt3->isChecked() ? 2 : rbFmt2->isChecked() ? 1 : 0;
}

void TFmLayout::Button1Click()
{
    previewAllStaff(this, m_dsrc, options(), fields);
}

} // namespace cards
