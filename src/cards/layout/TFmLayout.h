#pragma once

#include "cards/CardOptions.h"
#include "data/Query.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace data {
class Tdsrc;
}

namespace imaging {
class ImageBox;
}

namespace cards {

class CodeOptionsBox;
class FontLabel;
class SpinEdit;

// "Card Layout": the working copy of the card layout settings. Creating the dialog loads the
// stored settings into its controls; "Save Settings" stores them; previews read the controls
// through options(), saved or not.
class TFmLayout : public QDialog
{
    Q_OBJECT
public:
    // Loads the stored settings (FormCreate). A Null where a number or a truth value is read
    // raises data::Error naming the column, and no dialog is made.
    explicit TFmLayout(data::Tdsrc& dsrc, QWidget* owner = nullptr);
    ~TFmLayout() override;

    // What card rendering reads: the controls as they stand.
    CardOptions options() const;

    // The dialog's own queries: the printable fields and the settings row.
    data::Query fields;
    data::Query param;

    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QWidget* TabSheet3 = nullptr;
    QWidget* TabSheet4 = nullptr;

    // Bottom strip.
    QFrame* Panel1 = nullptr;
    QPushButton* Button1 = nullptr; // "Preview"
    QPushButton* bSave = nullptr;
    QPushButton* Button2 = nullptr; // "Exit"

    // "Data Fields": caption buttons Button3..Button9 and slot lists ComboBox1..ComboBox7.
    QGroupBox* Captions = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* Button4 = nullptr;
    QPushButton* Button5 = nullptr;
    QPushButton* Button6 = nullptr;
    QPushButton* Button7 = nullptr;
    QPushButton* Button8 = nullptr;
    QPushButton* Button9 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QComboBox* ComboBox2 = nullptr;
    QComboBox* ComboBox3 = nullptr;
    QComboBox* ComboBox4 = nullptr;
    QComboBox* ComboBox5 = nullptr;
    QComboBox* ComboBox6 = nullptr;
    QComboBox* ComboBox7 = nullptr;

    // "Card Background".
    QCheckBox* cbBack = nullptr;
    QGroupBox* gbBack = nullptr;
    QFrame* pBack = nullptr;
    imaging::ImageBox* imgBack = nullptr;
    QPushButton* bLoad = nullptr;
    QPushButton* bClear = nullptr;
    QPushButton* bRotate = nullptr;
    QPushButton* Button10 = nullptr; // "Adjust", hidden

    // "Card Style": the radio buttons and their sketches (card panel, photo panel).
    QGroupBox* GroupBox3 = nullptr;
    QRadioButton* rbFmt1 = nullptr;
    QRadioButton* rbFmt2 = nullptr;
    QRadioButton* rbFmt3 = nullptr;
    QFrame* Panel5 = nullptr;
    QFrame* Panel6 = nullptr;
    QFrame* Panel3 = nullptr;
    QFrame* Panel4 = nullptr;
    QFrame* Panel7 = nullptr;
    QFrame* Panel8 = nullptr;
    QCheckBox* cbWatermark = nullptr; // "Print SAMPLE watermark"
    // Where the cards go: A4 sheets or a card printer.
    QGroupBox* gbOutput = nullptr;
    QRadioButton* rbSheet = nullptr;
    QRadioButton* rbCardPrinter = nullptr;

    // "Custom Options".
    QCheckBox* cbCustom = nullptr;
    QGroupBox* gbOptions = nullptr;
    QCheckBox* cbLines = nullptr;
    QCheckBox* cbCaptions = nullptr;
    QGroupBox* GroupBox5 = nullptr;
    SpinEdit* sePos = nullptr;
    QLabel* Label1 = nullptr;
    QGroupBox* gbText = nullptr;
    FontLabel* lbFont = nullptr;
    QPushButton* bFont = nullptr;
    QCheckBox* cbShrink = nullptr; // "Shrink long text to fit"
    CodeOptionsBox* gbCode = nullptr; // the card's barcode or QR code

    // Slot k (1 to 7): its list and its caption button.
    QComboBox* slotList(int k) const { return m_slotLists.at(k - 1); }
    QPushButton* captionButton(int k) const { return m_captionButtons.at(k - 1); }

    // Loading and storing the settings.
    void FormCreate();
    void LoadSlots();
    qint32 ParamInt(const QString& column) const;
    void ShowSlotCaption(const QString& column, QPushButton* button);
    void bSaveClick();
    void SaveSlot(const QString& column, QPushButton* button, QComboBox* list);

    // The handlers of the controls.
    void Button1Click();
    void Button3Click(QPushButton* sender);
    void bLoadClick();
    void bClearClick();
    void bRotateClick();
    void Button10Click();
    void cbCustomClick();
    void bFontClick();
    void rbFmt1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildBottomStrip();
    void buildDataFields();
    void buildBackground();
    void buildStyle();
    void buildWatermarkChoice();
    void buildOutput();
    CardOutput checkedOutput() const;
    void showOutput(CardOutput output);
    void buildCustomOptions();
    void connectHandlers();
    // 0, 1 or 2: the checked style button.
    int checkedStyle() const;
    bool ParamBool(const QString& column) const;
    double ParamFloat(const QString& column) const;

    data::Tdsrc& m_dsrc;
    std::array<QComboBox*, 7> m_slotLists {};
    std::array<QPushButton*, 7> m_captionButtons {};
    // Centred when first shown; shown again after a preview, it stays where it was.
    bool m_placed = false;
};

} // namespace cards
