#pragma once

#include "CalibrationPage.h"

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;
class QPushButton;

namespace cards {

// "Print Offsets": the x and y offset of one printer (or of PDF files), kept in the user's
// settings by "Save", and a calibration page printed with the offsets as they stand in the
// dialog, to read the right ones off. Values outside -10.0 to +10.0 mm are refused with a
// message: nothing is stored or printed with them.
class PrintOffsetDialog : public QDialog
{
    Q_OBJECT
public:
    // Opens on the printer named (the PDF writer for an empty name or one not installed).
    explicit PrintOffsetDialog(QWidget* parent, const QString& printer = {});

    QComboBox* printerBox() const { return m_printer; }
    QDoubleSpinBox* xBox() const { return m_x; }
    QDoubleSpinBox* yBox() const { return m_y; }
    QComboBox* paperBox() const { return m_paper; }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* calibrateButton() const { return m_calibrate; }

    // The printer chosen and the offset as entered.
    QString printer() const;
    PrintOffset offset() const;

private:
    void showStoredOffset();
    void save();
    void printCalibrationPage();

    QComboBox* m_printer = nullptr;
    QDoubleSpinBox* m_x = nullptr;
    QDoubleSpinBox* m_y = nullptr;
    QComboBox* m_paper = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_calibrate = nullptr;
};

// Prints the calibration page on the printer with the offset: into a PDF file asked for
// through the answers for the PDF writer, otherwise straight onto the printer. Throws
// data::Error with the reason, and prints nothing with an offset outside the range.
void printCalibration(QWidget* parent, CalibrationPaper paper, const QString& printer,
                      const PrintOffset& offset);

} // namespace cards
