#include "PrintOffsetDialog.h"

#include "PrintOutput.h"
#include "data/Answers.h"
#include "data/ErrorHandler.h"
#include "data/OutputFile.h"
#include "report/PageCapture.h"
#include "report/TextMetrics.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <cmath>

namespace cards {
namespace {

// Wider than the offsets may be, so that a value beyond them is typed whole and refused
// with a message rather than cut off unseen.
QDoubleSpinBox* offsetBox(QWidget* parent, const char* name)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setRange(-99.9, 99.9);
    box->setDecimals(1);
    box->setSingleStep(0.1);
    box->setSuffix(QStringLiteral(" mm"));
    box->setAccelerated(true);
    return box;
}

int tenths(const QDoubleSpinBox* box)
{
    return int(std::lround(box->value() * 10));
}

} // namespace

PrintOffsetDialog::PrintOffsetDialog(QWidget* parent, const QString& printer)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("PrintOffsets"));
    setWindowTitle(tr("Print Offsets"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_printer = new QComboBox(this);
    m_printer->setObjectName(QStringLiteral("printer"));
    m_printer->addItem(printerTitle({}), QString());
    for (const QString& name : QPrinterInfo::availablePrinterNames())
        m_printer->addItem(name, name);
    m_printer->setCurrentIndex(std::max(0, m_printer->findData(printer)));
    m_x = offsetBox(this, "x");
    m_y = offsetBox(this, "y");
    m_paper = new QComboBox(this);
    m_paper->setObjectName(QStringLiteral("paper"));
    m_paper->addItem(tr("Card, 85.60 x 53.98 mm"), int(CalibrationPaper::Card));
    m_paper->addItem(tr("A4 sheet"), int(CalibrationPaper::A4));

    auto* form = new QFormLayout;
    form->addRow(tr("&Printer:"), m_printer);
    form->addRow(tr("&Right by:"), m_x);
    form->addRow(tr("&Down by:"), m_y);
    form->addRow(tr("Calibration &paper:"), m_paper);

    auto* buttons = new QDialogButtonBox(this);
    m_calibrate = buttons->addButton(tr("Print &Calibration Page"), QDialogButtonBox::ActionRole);
    m_calibrate->setObjectName(QStringLiteral("calibrate"));
    m_save = buttons->addButton(tr("&Save"), QDialogButtonBox::AcceptRole);
    m_save->setObjectName(QStringLiteral("save"));
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    close->setObjectName(QStringLiteral("close"));
    for (QPushButton* button : {m_calibrate, m_save, close})
        button->setAutoDefault(false);
    m_save->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(m_printer, &QComboBox::currentIndexChanged, this,
            [this] { data::guarded([this] { showStoredOffset(); }); });
    connect(m_save, &QPushButton::clicked, this, [this] { data::guarded([this] { save(); }); });
    connect(m_calibrate, &QPushButton::clicked, this,
            [this] { data::guarded([this] { printCalibrationPage(); }); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    data::guarded([this] { showStoredOffset(); });
}

QString PrintOffsetDialog::printer() const
{
    return m_printer->currentData().toString();
}

PrintOffset PrintOffsetDialog::offset() const
{
    return {tenths(m_x), tenths(m_y)};
}

void PrintOffsetDialog::showStoredOffset()
{
    m_x->setValue(0);
    m_y->setValue(0);
    const PrintOffset stored = readPrintOffset(printer());
    m_x->setValue(stored.x / 10.0);
    m_y->setValue(stored.y / 10.0);
}

void PrintOffsetDialog::save()
{
    writePrintOffset(printer(), offset());
    accept();
}

void PrintOffsetDialog::printCalibrationPage()
{
    printCalibration(this, CalibrationPaper(m_paper->currentData().toInt()), printer(), offset());
}

void printCalibration(QWidget* parent, CalibrationPaper paper, const QString& printer,
                      const PrintOffset& offset)
{
    checkPrintOffset(offset);
    const report::TextMetrics metrics;
    const std::vector<report::Page> pages {calibrationPage(paper, printer, offset, metrics)};
    const data::Answers::Render render = shiftedRender(
        [&pages](QPagedPaintDevice* device) { report::printPages(pages, *device); }, offset);
    if (printer.isEmpty()) {
        savePagesAsPdf(parent, render);
        return;
    }
    QPrinter device(QPrinter::HighResolution);
    device.setPrinterName(printer);
    device.setDocName(QCoreApplication::translate("cards", "Calibration page"));
    render(&device);
}

} // namespace cards
