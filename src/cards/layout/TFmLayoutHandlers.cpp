// The handlers of the card layout dialog's controls.
#include "CodeOptionsBox.h"
#include "FontLabel.h"
#include "TFmLayout.h"
#include "cards/LabelFontMapping.h"
#include "data/Answers.h"
#include "imaging/ImageBox.h"
#include "imaging/LoadPicture.h"
#include "imaging/PictureCommands.h"
#include "imaging/StoredPicture.h"
#include "imaging/TDlgTouch.h"

#include <QCheckBox>
#include <QFontInfo>
#include <QFrame>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <cmath>

namespace cards {
namespace {

constexpr int minFontPoints = 8;
constexpr int maxFontPoints = 18;

// The stored font of a font chosen in the font dialog: the size pulled into the offered
// range, the pitch as the chosen font reports it, the character set kept from the label.
LabelFont chosenFont(QFont font, const QColor& color, const LabelFont& current)
{
    const double points = font.pointSizeF() > 0 ? font.pointSizeF() : QFontInfo(font).pointSizeF();
    font.setPointSize(std::clamp(int(std::lround(points)), minFontPoints, maxFontPoints));
    LabelFont result = LabelFontMapping::fromQFont(font, color, current);
    result.pitch
        = QFontInfo(font).fixedPitch() ? LabelFont::Pitch::Fixed : LabelFont::Pitch::Default;
    return result;
}

} // namespace

void TFmLayout::Button3Click(QPushButton* sender)
{
    const std::optional<QString> caption = data::answers().inputText(
        this, QStringLiteral("Change caption name"), sender->text(), sender->text());
    if (caption)
        sender->setText(*caption);
}

void TFmLayout::bLoadClick()
{
    imaging::LoadPictureDialog(this, *imgBack, 0, 0);
}

void TFmLayout::bClearClick()
{
    imaging::Picture picture = imgBack->picture();
    picture.fill(qRgb(255, 255, 255));
    imgBack->setPicture(std::move(picture));
}

void TFmLayout::bRotateClick()
{
    imaging::Picture picture = imaging::editablePicture(*imgBack);
    imaging::Rotate90(this, picture);
    imgBack->setPicture(std::move(picture));
    imaging::ShowSizeHint(*imgBack);
}

void TFmLayout::Button10Click()
{
    imaging::TDlgTouch touch(this);
    touch.imgSrc().setPicture(imaging::editablePicture(*imgBack));
    // Confirming before any preview leaves the background as it was.
    if (touch.exec() == QDialog::Accepted && !touch.imgDst().picture().isEmpty())
        imgBack->setPicture(touch.imgDst().picture());
}

void TFmLayout::cbCustomClick()
{
    gbOptions->setVisible(cbCustom->isChecked());
    gbText->setVisible(cbCustom->isChecked());
}

void TFmLayout::bFontClick()
{
    const auto chosen = data::answers().chooseFontAndColor(this, lbFont->font(), lbFont->color(),
                                                           minFontPoints, maxFontPoints);
    if (!chosen)
        return;
    LabelProperties label = lbFont->properties();
    label.font = chosenFont(chosen->font, chosen->color, label.font);
    label.parentFont = false;
    lbFont->setProperties(label);
}

void TFmLayout::rbFmt1Click()
{
    // Landscape for styles 1 and 2, portrait for style 3; the picture follows the frame.
    const QSize frame = rbFmt3->isChecked() ? QSize(125, 204) : QSize(324, 204);
    pBack->resize(frame);
    imgBack->resize(frame - QSize(4, 4));
    gbCode->setStyle(checkedStyle());
}

} // namespace cards
