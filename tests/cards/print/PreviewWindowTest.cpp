// The print preview window: not modal, the caller waits until it closes; navigation, zoom
// and saving as PDF.

#include "cards/print/PrintPreviewWindow.h"

#include <QAction>
#include <QApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

// Three pages, each showing its number.
void threePages(QPagedPaintDevice* device)
{
    QPainter painter(device);
    for (int page = 1; page <= 3; ++page) {
        if (page > 1)
            device->newPage();
        painter.drawText(QPointF(100, 100), QStringLiteral("Page %1").arg(page));
    }
}

cards::PrintPreviewWindow* openWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<cards::PrintPreviewWindow*>(widget);
            window && window->isVisible())
            return window;
    }
    return nullptr;
}

void trigger(QWidget* window, const QString& name)
{
    auto* action = window->findChild<QAction*>(name);
    QVERIFY2(action, qPrintable(name));
    action->trigger();
}

// Pages through the preview, zooms and saves it.
void exercise(cards::PrintPreviewWindow* window, const QString& pdf)
{
    QCOMPARE(window->windowTitle(), QStringLiteral("Print Preview"));
    QCOMPARE(window->windowModality(), Qt::NonModal);
    QPrintPreviewWidget* view = window->view();
    QTRY_COMPARE(view->pageCount(), 3);
    trigger(window, QStringLiteral("Last"));
    QCOMPARE(view->currentPage(), 3);
    trigger(window, QStringLiteral("Previous"));
    QCOMPARE(view->currentPage(), 2);
    trigger(window, QStringLiteral("First"));
    QCOMPARE(view->currentPage(), 1);
    trigger(window, QStringLiteral("Next"));
    QCOMPARE(view->currentPage(), 2);
    trigger(window, QStringLiteral("100 %"));
    QCOMPARE(view->zoomFactor(), 1.0);
    trigger(window, QStringLiteral("Width"));
    QCOMPARE(view->zoomMode(), QPrintPreviewWidget::FitToWidth);
    trigger(window, QStringLiteral("Fit"));
    QCOMPARE(view->zoomMode(), QPrintPreviewWidget::FitInView);
    window->saveAsPdf(pdf);
    if (!qEnvironmentVariableIsEmpty("MELBRIN_KEEP_RENDERS"))
        window->grab().save(qEnvironmentVariable("MELBRIN_KEEP_RENDERS") + "/preview.png");
}

} // namespace

class PreviewWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void waitsUntilClosedAndPagesThrough()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("saved.pdf"));
        bool checked = false;
        QTimer::singleShot(0, [&] {
            cards::PrintPreviewWindow* window = openWindow();
            QVERIFY(window);
            exercise(window, pdf);
            checked = !QTest::currentTestFailed();
            window->close(); // also after a failed check, so the test ends
        });
        cards::showPrintPreview(nullptr, threePages);
        QVERIFY(checked);
        QVERIFY(!openWindow());
        QVERIFY(QFileInfo(pdf).size() > 0);
    }
};

QTEST_MAIN(PreviewWindowTest)
#include "PreviewWindowTest.moc"
