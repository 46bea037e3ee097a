// The controls of the card layout dialog, each at its place on its tab.
#include "CodeOptionsBox.h"
#include "FontLabel.h"
#include "ShrinkTextBox.h"
#include "SpinEdit.h"
#include "TFmLayout.h"
#include "data/WidgetUtils.h"
#include "imaging/ImageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <algorithm>

namespace cards {
namespace {

using data::groupBox;
using data::place;

QPushButton* button(QWidget* parent, const char* name, const QString& text, QRect geometry)
{
    auto* result = place<QPushButton>(parent, name, geometry);
    result->setText(text);
    result->setAutoDefault(false);
    return result;
}

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& text, QRect geometry,
                    bool checked)
{
    auto* result = place<QCheckBox>(parent, name, geometry);
    result->setText(text);
    result->setChecked(checked);
    // Wider where the face at hand needs it, never narrower than designed.
    result->resize(std::max(geometry.width(), result->sizeHint().width()), geometry.height());
    return result;
}

QFrame* panel(QWidget* parent, const char* name, QRect geometry, QFrame::Shadow shadow)
{
    auto* result = place<QFrame>(parent, name, geometry);
    result->setFrameStyle(QFrame::Panel | shadow);
    result->setAutoFillBackground(true);
    return result;
}

// A style's sketch: the card as a raised panel with the photo as a lowered panel inside.
QFrame* sketch(QWidget* parent, const char* cardName, QRect card, const char* photoName,
               QPoint photo, QFrame** photoPanel)
{
    QFrame* result = panel(parent, cardName, card, QFrame::Raised);
    *photoPanel = panel(result, photoName, QRect(photo, QSize(17, 21)), QFrame::Sunken);
    return result;
}

} // namespace

void TFmLayout::buildBottomStrip()
{
    Panel1 = place<QFrame>(this, "Panel1", QRect(0, 293, 424, 32));
    Button1 = button(Panel1, "Button1", QStringLiteral("Preview"), {4, 4, 75, 25});
    bSave = button(Panel1, "bSave", QStringLiteral("Save Settings"), {84, 4, 85, 25});
    Button2 = button(Panel1, "Button2", QStringLiteral("Exit"), {172, 4, 75, 25});
}

void TFmLayout::buildDataFields()
{
    Captions = groupBox(TabSheet1, "Captions", QStringLiteral("Captions"), {4, 8, 137, 197});
    GroupBox1 = groupBox(TabSheet1, "GroupBox1", QStringLiteral("Data Fields"), {148, 8, 169, 197});
    for (int k = 1; k <= 7; ++k) {
        const int top = 20 + 24 * (k - 1);
        const QByteArray buttonName = "Button" + QByteArray::number(k + 2);
        const QByteArray listName = "ComboBox" + QByteArray::number(k);
        m_captionButtons.at(k - 1)
            = button(Captions, buttonName.constData(), {}, {8, top, 120, 21});
        QComboBox* list = place<QComboBox>(GroupBox1, listName.constData(), {12, top, 145, 21});
        list->setEditable(false);
        list->setMaxVisibleItems(8);
        m_slotLists.at(k - 1) = list;
    }
    Button3 = captionButton(1);
    Button4 = captionButton(2);
    Button5 = captionButton(3);
    Button6 = captionButton(4);
    Button7 = captionButton(5);
    Button8 = captionButton(6);
    Button9 = captionButton(7);
    ComboBox1 = slotList(1);
    ComboBox2 = slotList(2);
    ComboBox3 = slotList(3);
    ComboBox4 = slotList(4);
    ComboBox5 = slotList(5);
    ComboBox6 = slotList(6);
    ComboBox7 = slotList(7);
}

void TFmLayout::buildBackground()
{
    cbBack
        = checkBox(TabSheet2, "cbBack", QStringLiteral("Print Background"), {8, 4, 117, 17}, true);
    gbBack = groupBox(TabSheet2, "gbBack", QStringLiteral("Card Background"), {4, 24, 405, 233});
    // The frame's two-pixel lowered bevel surrounds the picture; rbFmt1Click sizes both.
    pBack = place<QFrame>(gbBack, "pBack", {68, 20, 324, 204});
    pBack->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    imgBack = place<imaging::ImageBox>(pBack, "imgBack", {2, 2, 320, 200});
    bLoad = button(gbBack, "bLoad", QStringLiteral("Load"), {8, 20, 53, 25});
    bClear = button(gbBack, "bClear", QStringLiteral("Clear"), {8, 48, 53, 25});
    bRotate = button(gbBack, "bRotate", QStringLiteral("Rotate"), {8, 76, 53, 25});
    Button10 = button(gbBack, "Button10", QStringLiteral("Adjust"), {8, 104, 53, 25});
    Button10->hide();
}

void TFmLayout::buildStyle()
{
    GroupBox3 = groupBox(TabSheet3, "GroupBox3", QStringLiteral("Card Style"), {4, 4, 245, 73});
    rbFmt1 = place<QRadioButton>(GroupBox3, "rbFmt1", {8, 16, 17, 17});
    rbFmt2 = place<QRadioButton>(GroupBox3, "rbFmt2", {88, 16, 17, 17});
    rbFmt3 = place<QRadioButton>(GroupBox3, "rbFmt3", {172, 16, 17, 17});
    rbFmt1->setChecked(true);
    Panel5 = sketch(GroupBox3, "Panel5", {28, 16, 49, 37}, "Panel6", {4, 12}, &Panel6);
    Panel3 = sketch(GroupBox3, "Panel3", {108, 16, 49, 37}, "Panel4", {28, 12}, &Panel4);
    Panel7 = sketch(GroupBox3, "Panel7", {192, 16, 33, 45}, "Panel8", {8, 4}, &Panel8);
}

void TFmLayout::buildCustomOptions()
{
    cbCustom
        = checkBox(TabSheet4, "cbCustom", QStringLiteral("Custom Options"), {8, 4, 97, 17}, false);

    gbOptions = groupBox(TabSheet4, "gbOptions", QStringLiteral("Options"), {8, 24, 109, 125});
    gbOptions->hide();
    cbLines = checkBox(gbOptions, "cbLines", QStringLiteral("Print Lines"), {8, 20, 73, 17}, true);
    cbCaptions = checkBox(gbOptions, "cbCaptions", QStringLiteral("Print Captions"),
                          {8, 44, 89, 17}, true);
    GroupBox5 = groupBox(gbOptions, "GroupBox5", QStringLiteral("Text Position"), {8, 68, 89, 49});
    sePos = place<SpinEdit>(GroupBox5, "sePos", {8, 19, 49, 22});
    sePos->setRange(0, 86);
    Label1 = place<QLabel>(GroupBox5, "Label1", {64, 24, 20, 13});
    Label1->setText(QStringLiteral("mm"));
    Label1->adjustSize();

    gbText = groupBox(TabSheet4, "gbText", QStringLiteral("Text Options"), {8, 152, 229, 57});
    gbText->hide();
    lbFont = new FontLabel(gbText);
    lbFont->setObjectName(QStringLiteral("lbFont"));
    bFont = button(gbText, "bFont", QStringLiteral("Change"), {164, 20, 55, 25});
    cbShrink = addShrinkTextBox(TabSheet4);

    gbCode = new CodeOptionsBox(TabSheet4);
    gbCode->setGeometry(124, 24, 289, 125);
}

} // namespace cards
