#include "TDlgTouch.h"

#include "ImageBox.h"
#include "PictureCommands.h"
#include "data/ErrorHandler.h"
#include "data/WidgetUtils.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>

namespace imaging {
namespace {

using data::groupBox;
using data::place;

QFrame* panel(QWidget* parent, const char* name, QRect geometry)
{
    return place<QFrame>(parent, name, geometry);
}

// Captions size themselves to their text; the position labels have room for "-100%".
QLabel* label(QWidget* parent, const char* name, const QString& text, QPoint at)
{
    auto* result = place<QLabel>(parent, name, QRect(at, QSize(45, 17)));
    result->setText(text);
    if (!text.endsWith(u'%'))
        result->adjustSize();
    return result;
}

QScrollBar* bar(QWidget* parent, const char* name, QRect geometry, int pageStep)
{
    auto* result = place<QScrollBar>(parent, name, geometry);
    result->setOrientation(Qt::Horizontal);
    result->setRange(-100, 100);
    result->setValue(0);
    result->setSingleStep(1);
    result->setPageStep(pageStep);
    return result;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text, QPoint at)
{
    auto* result = place<QPushButton>(parent, name, QRect(at, QSize(75, 25)));
    result->setText(text);
    result->setAutoDefault(false);
    return result;
}

QCheckBox* checkBox(QWidget* parent, const char* name, QPoint at)
{
    auto* result = place<QCheckBox>(parent, name, QRect(at, QSize(53, 17)));
    result->setText(QStringLiteral("Lock"));
    return result;
}

ImageBox* imageIn(QWidget* parent, const char* frameName, const char* name)
{
    QFrame* frame = panel(parent, frameName, QRect(8, 16, 244, 184));
    frame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    return place<ImageBox>(frame, name, QRect(2, 2, 240, 180));
}

void showPosition(QLabel* label, const QScrollBar* bar)
{
    label->setText(QString::number(bar->value()) + u'%');
}

} // namespace

TDlgTouch::TDlgTouch(QWidget* owner)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("DlgTouch"));
    setWindowTitle(QStringLiteral("Photo Touchup"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    setFixedSize(545, 489);

    QFrame* panel2 = panel(this, "Panel2", QRect(0, 0, 545, 454));
    QFrame* panel1 = panel(this, "Panel1", QRect(0, 454, 545, 35));

    m_imgSrc = imageIn(groupBox(panel2, "gbSrc", QStringLiteral("Original"), {8, 4, 261, 209}),
                       "Panel3", "imgSrc");
    m_imgDst = imageIn(groupBox(panel2, "GroupBox1", QStringLiteral("Preview"), {276, 4, 261, 209}),
                       "Panel4", "imgDst");
    buildColourBox(panel2);
    buildHueBox(panel2);

    QPushButton* confirm = button(panel1, "Button1", QStringLiteral("Confirm"), {8, 4});
    QPushButton* cancel = button(panel1, "Button2", QStringLiteral("Cancel"), {88, 4});
    connect(confirm, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TDlgTouch::buildColourBox(QWidget* panel)
{
    QGroupBox* box
        = groupBox(panel, "GroupBox2", QStringLiteral("Color Component"), {276, 216, 261, 125});
    label(box, "Label1", QStringLiteral("Red"), {8, 20});
    label(box, "Label3", QStringLiteral("Green"), {8, 44});
    label(box, "Label5", QStringLiteral("Blue"), {8, 68});
    m_sbRed = bar(box, "sbRed", {48, 20, 157, 17}, 1);
    m_sbGreen = bar(box, "sbGreen", {48, 44, 157, 17}, 1);
    m_sbBlue = bar(box, "sbBlue", {48, 68, 157, 17}, 10);
    m_lbRed = label(box, "lbRed", QStringLiteral("0%"), {212, 20});
    m_lbGreen = label(box, "lbGreen", QStringLiteral("0%"), {212, 44});
    m_lbBlue = label(box, "lbBlue", QStringLiteral("0%"), {212, 68});
    QPushButton* preview = button(box, "Button3", QStringLiteral("Preview"), {10, 92});
    QPushButton* reset = button(box, "Button5", QStringLiteral("Reset"), {88, 92});
    m_checkBox1 = checkBox(box, "CheckBox1", {192, 96});

    connect(m_sbRed, &QScrollBar::valueChanged, this, &TDlgTouch::sbRedChange);
    connect(m_sbGreen, &QScrollBar::valueChanged, this, &TDlgTouch::sbGreenChange);
    connect(m_sbBlue, &QScrollBar::valueChanged, this, &TDlgTouch::sbBlueChange);
    connect(m_checkBox1, &QCheckBox::toggled, this, &TDlgTouch::CheckBox1Click);
    // A failing preview goes to the general error handler, not back through Qt.
    connect(preview, &QPushButton::clicked, this,
            [this] { data::guarded([this] { Button3Click(); }); });
    connect(reset, &QPushButton::clicked, this, &TDlgTouch::Button5Click);
}

void TDlgTouch::buildHueBox(QWidget* panel)
{
    QGroupBox* box = groupBox(panel, "GroupBox3", QStringLiteral("Hue"), {276, 344, 261, 101});
    label(box, "Label2", QStringLiteral("Intensity"), {8, 20});
    label(box, "Label6", QStringLiteral("Saturation"), {8, 44});
    m_sbBright = bar(box, "sbBright", {64, 20, 141, 17}, 1);
    m_sbSat = bar(box, "sbSat", {64, 44, 141, 17}, 1);
    m_lbBright = label(box, "lbBright", QStringLiteral("0%"), {212, 20});
    m_lbSat = label(box, "lbSat", QStringLiteral("0%"), {212, 44});
    QPushButton* preview = button(box, "Button4", QStringLiteral("Preview"), {10, 68});
    QPushButton* reset = button(box, "Button6", QStringLiteral("Reset"), {88, 68});
    m_checkBox2 = checkBox(box, "CheckBox2", {192, 72});

    connect(m_sbBright, &QScrollBar::valueChanged, this, &TDlgTouch::sbBrightChange);
    connect(m_sbSat, &QScrollBar::valueChanged, this, &TDlgTouch::sbSatChange);
    connect(m_checkBox2, &QCheckBox::toggled, this, &TDlgTouch::CheckBox2Click);
    connect(preview, &QPushButton::clicked, this,
            [this] { data::guarded([this] { Button4Click(); }); });
    connect(reset, &QPushButton::clicked, this, &TDlgTouch::Button6Click);
}

void TDlgTouch::sbRedChange()
{
    showPosition(m_lbRed, m_sbRed);
    if (m_checkBox1->isChecked()) {
        // Each bar's own change handler updates its label, and only when it really moves.
        m_sbGreen->setValue(m_sbRed->value());
        m_sbBlue->setValue(m_sbRed->value());
    }
}

void TDlgTouch::sbGreenChange()
{
    showPosition(m_lbGreen, m_sbGreen);
}

void TDlgTouch::sbBlueChange()
{
    showPosition(m_lbBlue, m_sbBlue);
}

void TDlgTouch::sbBrightChange()
{
    showPosition(m_lbBright, m_sbBright);
    if (m_checkBox2->isChecked())
        m_sbSat->setValue(m_sbBright->value());
}

void TDlgTouch::sbSatChange()
{
    showPosition(m_lbSat, m_sbSat);
}

void TDlgTouch::CheckBox1Click()
{
    const bool unlocked = !m_checkBox1->isChecked();
    m_sbGreen->setEnabled(unlocked);
    m_sbBlue->setEnabled(unlocked);
}

void TDlgTouch::CheckBox2Click()
{
    m_sbSat->setEnabled(!m_checkBox2->isChecked());
}

void TDlgTouch::Button3Click()
{
    m_imgDst->setPicture(m_imgSrc->picture());
    Picture preview = m_imgDst->picture();
    AdjustRGB(this, preview, m_sbRed->value(), m_sbGreen->value(), m_sbBlue->value());
    m_imgDst->setPicture(std::move(preview));
}

void TDlgTouch::Button4Click()
{
    m_imgDst->setPicture(m_imgSrc->picture());
    Picture preview = m_imgDst->picture();
    AdjustHue(this, preview, m_sbBright->value(), m_sbSat->value());
    m_imgDst->setPicture(std::move(preview));
}

void TDlgTouch::Button5Click()
{
    m_sbRed->setValue(0);
    m_sbGreen->setValue(0);
    m_sbBlue->setValue(0);
}

void TDlgTouch::Button6Click()
{
    m_sbBright->setValue(0);
    m_sbSat->setValue(0);
}

void TDlgTouch::showEvent(QShowEvent* event)
{
    data::centreOnScreen(this);
    QDialog::showEvent(event);
}

} // namespace imaging
