#include "PrintPreviewWindow.h"

#include "PrintOffsetDialog.h"
#include "PrintOutput.h"
#include "PrintedMembers.h"
#include "data/Error.h"
#include "data/ErrorHandler.h"
#include "data/WidgetUtils.h"
#include "report/PageCapture.h"
#include "report/PdfWriter.h"
#include "report/PreparedReportFile.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QToolBar>

namespace cards {

PrintPreviewWindow::PrintPreviewWindow(QWidget* parent, data::Answers::Render render,
                                       data::Answers::Status status)
    : QMainWindow(parent, Qt::Window)
    , m_render(std::move(render))
    , m_status(std::move(status))
    , m_previewPrinter(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    setWindowTitle(tr("Print Preview"));
    // Modal: the report reads the shared rows and the open database while the window is
    // open, so neither another preview nor a change to the database may come in between what
    // the window shows and what it prints.
    setWindowModality(Qt::ApplicationModal);
    m_view = new QPrintPreviewWidget(m_previewPrinter.get(), this);
    setCentralWidget(m_view);
    connect(m_view, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter* printer) {
        data::guarded([&] { m_render(printer); });
        if (m_status)
            statusBar()->showMessage(m_status());
    });
    buildToolBar();
    // A page's height where the screen has room for it, and never more than the screen,
    // title bar and panels left aside.
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    QSize size(800, 900);
    if (screen)
        size = size.boundedTo(screen->availableGeometry().size() - QSize(24, 64));
    resize(size);
    data::centreOnScreen(this);
    m_view->fitInView();
    m_view->updatePreview();
}

PrintPreviewWindow::~PrintPreviewWindow()
{
    // The view draws on the preview printer: it goes first.
    delete m_view;
}

void PrintPreviewWindow::buildToolBar()
{
    QToolBar* bar = addToolBar(tr("Preview"));
    bar->setMovable(false);
    const auto add = [&](const QString& text, auto slot) {
        QAction* action = bar->addAction(text);
        action->setObjectName(text);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    const auto goTo = [this](auto page) {
        return [this, page] {
            m_view->setCurrentPage(page());
            updatePageLabel();
        };
    };
    m_first = add(tr("First"), goTo([] { return 1; }));
    m_previous = add(tr("Previous"), goTo([this] { return m_view->currentPage() - 1; }));
    m_pageLabel = new QLabel(bar);
    bar->addWidget(m_pageLabel);
    m_next = add(tr("Next"), goTo([this] { return m_view->currentPage() + 1; }));
    m_last = add(tr("Last"), goTo([this] { return m_view->pageCount(); }));
    bar->addSeparator();
    add(tr("Fit"), [this] {
        m_view->fitInView();
        updateZoomBox();
    });
    add(tr("100 %"), [this] { zoomTo(1.0); });
    add(tr("Width"), [this] {
        m_view->fitToWidth();
        updateZoomBox();
    });
    buildZoomBox(bar);
    bar->addSeparator();
    add(tr("Print..."), [this] {
        data::guarded([this] { printPages(); });
    })->setShortcut(QKeySequence::Print);
    add(tr("Offsets..."), [this] {
        PrintOffsetDialog offsets(this, QPrinterInfo::defaultPrinterName());
        offsets.exec();
    });
    add(tr("Save..."), [this] {
        data::guarded([this] { saveClicked(); });
    })->setShortcut(QKeySequence::Save);
    add(tr("Load..."), [this] {
        data::guarded([this] { loadClicked(); });
    })->setShortcut(QKeySequence::Open);
    bar->addSeparator();
    add(tr("Close"), [this] {
        close();
    })->setShortcuts({QKeySequence(Qt::Key_Escape), QKeySequence::Close});
    // Page changes, zoom changes and refitting after a resize all report here.
    connect(m_view, &QPrintPreviewWidget::previewChanged, this, [this] {
        updatePageLabel();
        updateZoomBox();
    });
}

// The zoom in whole percent of the paper's real size; a percentage typed or picked zooms.
void PrintPreviewWindow::buildZoomBox(QToolBar* bar)
{
    m_zoomBox = new QComboBox(bar);
    m_zoomBox->setObjectName(QStringLiteral("zoom"));
    m_zoomBox->setEditable(true);
    m_zoomBox->setInsertPolicy(QComboBox::NoInsert);
    for (int percent : {25, 50, 75, 100, 125, 150, 200, 400})
        m_zoomBox->addItem(tr("%1 %").arg(percent));
    m_zoomBox->setMinimumContentsLength(6);
    m_zoomBox->setCompleter(nullptr);
    bar->addWidget(m_zoomBox);
    const auto apply = [this](const QString& text) {
        const auto match
            = QRegularExpression(QStringLiteral("^\\s*(\\d{1,4})\\s*%?\\s*$")).match(text);
        const int percent = match.hasMatch() ? match.captured(1).toInt() : 0;
        if (percent >= 10 && percent <= 1000)
            zoomTo(percent / 100.0);
        else
            updateZoomBox();
    };
    connect(m_zoomBox, &QComboBox::textActivated, this, apply);
    connect(m_zoomBox->lineEdit(), &QLineEdit::returnPressed, this,
            [this, apply] { apply(m_zoomBox->currentText()); });
}

void PrintPreviewWindow::zoomTo(double factor)
{
    m_view->setZoomMode(QPrintPreviewWidget::CustomZoom);
    m_view->setZoomFactor(factor);
    updateZoomBox();
}

void PrintPreviewWindow::updateZoomBox()
{
    if (m_zoomBox)
        m_zoomBox->setEditText(tr("%1 %").arg(qRound(m_view->zoomFactor() * 100)));
}

void PrintPreviewWindow::updatePageLabel()
{
    const int page = m_view->currentPage();
    const int count = m_view->pageCount();
    m_pageLabel->setText(tr(" Page %1 of %2 ").arg(page).arg(count));
    m_first->setEnabled(page > 1);
    m_previous->setEnabled(page > 1);
    m_next->setEnabled(page < count);
    m_last->setEnabled(page < count);
}

void PrintPreviewWindow::printPages()
{
    // A report loaded from a file is not the cards of the members previewed.
    if (printReportPages(this, m_render, m_view->pageCount()) && !m_loaded)
        pagesPrinted();
}

void PrintPreviewWindow::saveClicked()
{
    // Proposed in the user's documents, never beside the program and its database.
    const std::optional<QString> chosen = data::answers().saveFileName(
        this, saveFileFilter, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    if (!chosen || chosen->isEmpty())
        return;
    // The dialog tells the file's kind by its extension; any other name is a PDF.
    const bool report
        = chosen->endsWith(QStringLiteral(".") + preparedReportSuffix, Qt::CaseInsensitive);
    const QString fileName = report ? *chosen : withPdfSuffix(*chosen);
    if (QFileInfo::exists(fileName) && !data::confirmBox(tr("Overwrite the file?")))
        return;
    if (report)
        saveAsReport(fileName);
    else
        saveAsPdf(fileName);
}

void PrintPreviewWindow::loadClicked()
{
    const std::optional<QString> chosen = data::answers().openFileName(
        this, loadFileFilter, tr("Load Report"), QString(), preparedReportSuffix);
    if (chosen && !chosen->isEmpty())
        loadReport(*chosen);
}

void PrintPreviewWindow::saveAsPdf(const QString& fileName)
{
    report::writePdf(fileName, shiftedForPrinter(m_render, QString()));
}

void PrintPreviewWindow::saveAsReport(const QString& fileName)
{
    const std::vector<report::Page> pages = report::capturePages(m_render);
    if (pages.empty())
        throw data::Error(tr("The report has no pages to save."));
    report::savePreparedReport(fileName, pages);
}

void PrintPreviewWindow::loadReport(const QString& fileName)
{
    auto pages
        = std::make_shared<const std::vector<report::Page>>(report::loadPreparedReport(fileName));
    m_render = [pages](QPagedPaintDevice* device) { report::printPages(*pages, *device); };
    m_loaded = true;
    // A saved report keeps no notes of its own.
    if (m_status) {
        m_status = nullptr;
        statusBar()->clearMessage();
    }
    m_view->updatePreview();
    m_view->setCurrentPage(1);
}

void PrintPreviewWindow::closeEvent(QCloseEvent* event)
{
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        Q_EMIT closed();
}

void showPrintPreview(QWidget* parent, const data::Answers::Render& render,
                      const data::Answers::Status& status)
{
    PrintPreviewWindow window(parent, render, status);
    QEventLoop loop;
    QObject::connect(&window, &PrintPreviewWindow::closed, &loop, &QEventLoop::quit);
    window.show();
    loop.exec();
}

} // namespace cards
