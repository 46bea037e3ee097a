#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QScrollBar;

namespace imaging {

class ImageBox;

// "Photo Touchup": previews a colour or a hue adjustment of the picture in imgSrc on a copy
// in imgDst. The caller fills imgSrc, runs the dialog and on Accepted takes imgDst's picture.
class TDlgTouch : public QDialog
{
    Q_OBJECT
public:
    explicit TDlgTouch(QWidget* owner);

    ImageBox& imgSrc() const { return *m_imgSrc; }
    ImageBox& imgDst() const { return *m_imgDst; }

    void sbRedChange();
    void sbGreenChange();
    void sbBlueChange();
    void sbBrightChange();
    void sbSatChange();
    void CheckBox1Click();
    void CheckBox2Click();
    // Preview: imgDst starts again from imgSrc, then the colour or the hue adjustment.
    // A failing adjustment leaves the unadjusted copy in imgDst and reaches the caller.
    void Button3Click();
    void Button4Click();
    // Reset: the colour bars, or the hue bars, back to 0; the preview is not touched.
    void Button5Click();
    void Button6Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildColourBox(QWidget* panel);
    void buildHueBox(QWidget* panel);

    ImageBox* m_imgSrc = nullptr;
    ImageBox* m_imgDst = nullptr;
    QScrollBar* m_sbRed = nullptr;
    QScrollBar* m_sbGreen = nullptr;
    QScrollBar* m_sbBlue = nullptr;
    QScrollBar* m_sbBright = nullptr;
    QScrollBar* m_sbSat = nullptr;
    QLabel* m_lbRed = nullptr;
    QLabel* m_lbGreen = nullptr;
    QLabel* m_lbBlue = nullptr;
    QLabel* m_lbBright = nullptr;
    QLabel* m_lbSat = nullptr;
    QCheckBox* m_checkBox1 = nullptr;
    QCheckBox* m_checkBox2 = nullptr;
};

} // namespace imaging
