#include "PrintPreviewWindow.h"

#include "cards/PageCapture.h"
#include "cards/PreparedReportFile.h"
#include "data/Error.h"
#include "data/ErrorHandler.h"
#include "data/OutputFile.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QToolBar>

namespace cards {

PrintPreviewWindow::PrintPreviewWindow(QWidget* parent, data::Answers::Render render)
    : QMainWindow(parent, Qt::Window)
    , m_render(std::move(render))
    , m_previewPrinter(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    setWindowTitle(tr("Print Preview"));
    setWindowModality(Qt::NonModal);
    m_view = new QPrintPreviewWidget(m_previewPrinter.get(), this);
    setCentralWidget(m_view);
    connect(m_view, &QPrintPreviewWidget::paintRequested, this,
            [this](QPrinter* printer) { data::guarded([&] { m_render(printer); }); });
    buildToolBar();
    resize(800, 900);
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
    add(tr("First"), [this] { m_view->setCurrentPage(1); });
    add(tr("Previous"), [this] { m_view->setCurrentPage(m_view->currentPage() - 1); });
    m_pageLabel = new QLabel(bar);
    bar->addWidget(m_pageLabel);
    add(tr("Next"), [this] { m_view->setCurrentPage(m_view->currentPage() + 1); });
    add(tr("Last"), [this] { m_view->setCurrentPage(m_view->pageCount()); });
    bar->addSeparator();
    add(tr("Fit"), [this] { m_view->fitInView(); });
    add(tr("100 %"), [this] {
        m_view->setZoomMode(QPrintPreviewWidget::CustomZoom);
        m_view->setZoomFactor(1.0);
    });
    add(tr("Width"), [this] { m_view->fitToWidth(); });
    bar->addSeparator();
    add(tr("Print..."), [this] { data::guarded([this] { printPages(); }); });
    add(tr("Save..."), [this] { data::guarded([this] { saveClicked(); }); });
    add(tr("Load..."), [this] { data::guarded([this] { loadClicked(); }); });
    bar->addSeparator();
    add(tr("Close"), [this] { close(); });
    connect(m_view, &QPrintPreviewWidget::previewChanged, this,
            &PrintPreviewWindow::updatePageLabel);
}

void PrintPreviewWindow::updatePageLabel()
{
    m_pageLabel->setText(tr(" Page %1 of %2 ").arg(m_view->currentPage()).arg(m_view->pageCount()));
}

void PrintPreviewWindow::printPages()
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    dialog.setOptions(QAbstractPrintDialog::PrintPageRange
                      | QAbstractPrintDialog::PrintCollateCopies
                      | QAbstractPrintDialog::PrintShowPageSize);
    dialog.setMinMax(1, std::max(1, m_view->pageCount()));
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_render(&printer);
}

void PrintPreviewWindow::saveClicked()
{
    const std::optional<QString> chosen
        = data::answers().saveFileName(this, saveFileFilter, QString());
    if (!chosen || chosen->isEmpty())
        return;
    // The dialog tells the file's kind by its extension; any other name is a PDF.
    QString fileName = *chosen;
    const bool report
        = fileName.endsWith(QStringLiteral(".") + preparedReportSuffix, Qt::CaseInsensitive);
    if (!report && !fileName.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        fileName += QStringLiteral(".pdf");
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
    data::writePdf(fileName, m_render);
}

void PrintPreviewWindow::saveAsReport(const QString& fileName)
{
    const std::vector<Page> pages = capturePages(m_render);
    if (pages.empty())
        throw data::Error(tr("The report has no pages to save."));
    savePreparedReport(fileName, pages);
}

void PrintPreviewWindow::loadReport(const QString& fileName)
{
    auto pages = std::make_shared<const std::vector<Page>>(loadPreparedReport(fileName));
    m_render = [pages](QPagedPaintDevice* device) { cards::printPages(*pages, *device); };
    m_view->updatePreview();
    m_view->setCurrentPage(1);
}

void PrintPreviewWindow::closeEvent(QCloseEvent* event)
{
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        Q_EMIT closed();
}

void showPrintPreview(QWidget* parent, const data::Answers::Render& render)
{
    PrintPreviewWindow window(parent, render);
    QEventLoop loop;
    QObject::connect(&window, &PrintPreviewWindow::closed, &loop, &QEventLoop::quit);
    window.show();
    loop.exec();
}

} // namespace cards
