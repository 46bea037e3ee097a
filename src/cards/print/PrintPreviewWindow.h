#pragma once

#include "data/Answers.h"

#include <QMainWindow>
#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QPrinter;
class QPrintPreviewWidget;
class QToolBar;

namespace cards {

// The file dialogs' filters for saving what the preview shows and loading a saved report.
inline const QString preparedReportSuffix = QStringLiteral("mrp");
inline const QString saveFileFilter = QStringLiteral("PDF Files (*.pdf);;Melbrin Reports (*.mrp)");
inline const QString loadFileFilter = QStringLiteral("Melbrin Reports (*.mrp);;All Files (*)");

// The print preview: the pages of a report drawn by a render function, with page navigation,
// zoom, printing on a chosen printer (copies, page range), the printers' offsets, saving as PDF
// or as a prepared report, and loading a saved report in place of the one shown. Modal.
class PrintPreviewWindow : public QMainWindow
{
    Q_OBJECT
public:
    // The status bar shows what status returns after each drawing of the pages.
    PrintPreviewWindow(QWidget* parent, data::Answers::Render render,
                       data::Answers::Status status = {});
    ~PrintPreviewWindow() override;

    QPrintPreviewWidget* view() const { return m_view; }
    // Draws the pages onto a PDF file, shifted by the PDF writer's offset, which replaces an
    // earlier one only when it was written whole; throws data::Error with the reason when it cannot
    // be written.
    void saveAsPdf(const QString& fileName);
    // Saves the pages shown as a prepared report file, written whole or not at all; throws
    // data::Error with the reason.
    void saveAsReport(const QString& fileName);
    // Shows, pages and prints the report saved in the file from now on; throws data::Error
    // when it cannot be read, and the report shown stays.
    void loadReport(const QString& fileName);

Q_SIGNALS:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildToolBar();
    void printPages();
    void saveClicked();
    void loadClicked();
    void buildZoomBox(QToolBar* bar);
    void zoomTo(double factor);
    // The page of pages, and paging enabled only towards pages that exist.
    void updatePageLabel();
    void updateZoomBox();

    data::Answers::Render m_render;
    data::Answers::Status m_status;
    std::unique_ptr<QPrinter> m_previewPrinter;
    QPrintPreviewWidget* m_view = nullptr;
    QLabel* m_pageLabel = nullptr;
    QComboBox* m_zoomBox = nullptr;
    QAction* m_first = nullptr;
    QAction* m_previous = nullptr;
    QAction* m_next = nullptr;
    QAction* m_last = nullptr;
    bool m_loaded = false; // showing a report loaded from a file
};

// Shows the preview window and returns when the user has closed it.
void showPrintPreview(QWidget* parent, const data::Answers::Render& render,
                      const data::Answers::Status& status = {});

} // namespace cards
