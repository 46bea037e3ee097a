// The print preview window: modal, the caller waits until it closes; navigation, zoom,
// saving as PDF or as a prepared report, and loading a saved report.

#include "ScriptedAnswers.h"
#include "TempDatabase.h"
#include "cards/print/PrintPreviewWindow.h"
#include "data/Connection.h"
#include "data/Error.h"
#include "report/PageCapture.h"
#include "report/TextMetrics.h"

#include <QAction>
#include <QApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewWidget>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

namespace {

// Three laid-out A4 pages, each showing its number.
void threePages(QPagedPaintDevice* device)
{
    static const report::TextMetrics metrics;
    const QFont font(QStringLiteral("Arial"), 12);
    std::vector<report::Page> pages;
    for (int number = 1; number <= 3; ++number) {
        report::Page page;
        page.number = number;
        page.width = report::mm(210);
        page.height = report::mm(297);
        const QString text = QStringLiteral("Page %1").arg(number);
        page.items.push_back(report::TextItem {report::mm(10), report::mm(10),
                                               metrics.width(font, text), metrics.lineHeight(font),
                                               text, font, Qt::black});
        pages.push_back(page);
    }
    report::printPages(pages, *device);
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

// Laid-out pages, each with a picture, a frame and its number.
std::vector<report::Page> laidOutPages(int count)
{
    using report::mm;
    QImage photo(30, 40, QImage::Format_RGB32);
    photo.fill(Qt::darkCyan);
    std::vector<report::Page> pages;
    for (int number = 1; number <= count; ++number) {
        report::Page page;
        page.number = number;
        page.width = mm(210);
        page.height = mm(297);
        page.items.push_back(report::ImageItem {{mm(20), mm(20), mm(30), mm(40)}, photo});
        page.items.push_back(report::FrameItem {{mm(15), mm(15), mm(100), mm(60)},
                                                report::Frame::all(Qt::blue, mm(1))});
        page.items.push_back(report::TextItem {mm(60), mm(30), mm(40), mm(8),
                                               QStringLiteral("Page %1").arg(number),
                                               QFont(QStringLiteral("Arial"), 20), Qt::black});
        pages.push_back(page);
    }
    return pages;
}

// Clicks the tool bar button of the named action.
void click(QMainWindow& window, const QString& name)
{
    auto* action = window.findChild<QAction*>(name);
    QVERIFY2(action, qPrintable(name));
    QWidget* button = window.findChild<QToolBar*>()->widgetForAction(action);
    QVERIFY2(button && button->isVisible(), qPrintable(name));
    QTest::mouseClick(button, Qt::LeftButton);
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Pages through the preview, zooms and saves it.
void exercise(cards::PrintPreviewWindow* window, const QString& pdf)
{
    QCOMPARE(window->windowTitle(), QStringLiteral("Print Preview"));
    QCOMPARE(window->windowModality(), Qt::ApplicationModal);
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
        bool escCloses = false;
        QTimer::singleShot(0, [&] {
            cards::PrintPreviewWindow* window = openWindow();
            QVERIFY(window);
            exercise(window, pdf);
            // the whole window, title bar aside, stands on the screen
            const QRect screen = window->screen()->availableGeometry();
            QVERIFY(window->width() <= screen.width() && window->height() < screen.height());
            checked = !QTest::currentTestFailed();
            window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window));
            QTest::keyClick(window, Qt::Key_Escape);
            escCloses = !window->isVisible();
            window->close(); // also after a failed check, so the test ends
        });
        cards::showPrintPreview(nullptr, threePages);
        QVERIFY(checked);
        QVERIFY(escCloses);
        QVERIFY(!openWindow());
        QVERIFY(QFileInfo(pdf).size() > 0);
    }

    // A PDF that cannot be written whole leaves the file it would replace as it was.
    void aFailedSaveKeepsTheEarlierFile()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("saved.pdf"));
        QFile earlier(pdf);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("an earlier PDF");
        earlier.close();
        const auto brokenAfterOnePage = [](QPagedPaintDevice* device) {
            QPainter painter(device);
            painter.drawText(QPointF(100, 100), QStringLiteral("Page 1"));
            device->newPage();
            throw data::Error(QStringLiteral("the report failed"));
        };
        cards::PrintPreviewWindow window(nullptr, brokenAfterOnePage);
        QVERIFY_THROWS_EXCEPTION(data::Error, window.saveAsPdf(pdf));
        QVERIFY(earlier.open(QIODevice::ReadOnly));
        QCOMPARE(earlier.readAll(), QByteArray("an earlier PDF"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList {"saved.pdf"});

        cards::PrintPreviewWindow device(nullptr, threePages);
        try {
            device.saveAsPdf(QStringLiteral("/dev/full"));
            QFAIL("a device was written to");
        } catch (const data::Error& e) {
            QVERIFY2(e.message().contains(QStringLiteral("regular")), qPrintable(e.message()));
        }
    }

    // The window does not know which database the report came from; no open database file,
    // nor its journal, may be chosen as the PDF.
    void anOpenDatabaseIsNeverSavedOver()
    {
        TempDatabase db;
        const QByteArray before = [&] {
            QFile file(db.path());
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();
        data::Connection connection;
        openDatabase(connection, db.path());
        const QString link = db.dir() + QStringLiteral("/link.pdf");
        QVERIFY(QFile::link(db.path(), link));
        cards::PrintPreviewWindow window(nullptr, threePages);
        for (const QString& target : {db.path(), link, db.path() + QStringLiteral("-journal")}) {
            try {
                window.saveAsPdf(target);
                QFAIL(qPrintable(QStringLiteral("saved over ") + target));
            } catch (const data::Error& e) {
                QVERIFY2(e.message().contains(QStringLiteral("database")), qPrintable(e.message()));
            }
        }
        connection.close();
        QFile file(db.path());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
        QVERIFY(!QFile::exists(db.path() + QStringLiteral("-journal")));
    }

    // The status bar says what the status reports after each drawing of the pages; a saved
    // report loaded in their place has nothing to say.
    void statusBarTellsOfTheLastDrawing()
    {
        QTemporaryDir dir;
        ScriptedAnswers answers;
        const std::vector<report::Page> one = laidOutPages(1);
        int drawings = 0;
        cards::PrintPreviewWindow window(
            nullptr,
            [&](QPagedPaintDevice* device) {
                ++drawings;
                report::printPages(one, *device);
            },
            [&] { return QStringLiteral("drawn %1 times").arg(drawings); });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(drawings > 0);
        QCOMPARE(window.statusBar()->currentMessage(),
                 QStringLiteral("drawn %1 times").arg(drawings));
        window.view()->updatePreview();
        QTRY_COMPARE(window.statusBar()->currentMessage(),
                     QStringLiteral("drawn %1 times").arg(drawings));
        QVERIFY(drawings > 1);

        const QString saved = dir.filePath(QStringLiteral("one.mrp"));
        window.saveAsReport(saved);
        answers.chooseFile(saved);
        click(window, QStringLiteral("Load..."));
        QVERIFY2(answers.shown().empty(), qPrintable(answers.texts().join('\n')));
        QCOMPARE(window.statusBar()->currentMessage(), QString());
    }

    // Save offers PDF and the report file; Load shows a saved report in place of the one shown,
    // pageable and zoomable, and saved again it is the same report.
    void savesAndLoadsPreparedReports()
    {
        QTemporaryDir dir;
        ScriptedAnswers answers;
        const std::vector<report::Page> three = laidOutPages(3);
        const QString saved = dir.filePath(QStringLiteral("cards.mrp"));
        {
            cards::PrintPreviewWindow window(
                nullptr, [&](QPagedPaintDevice* device) { report::printPages(three, *device); });
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            answers.chooseFile(saved);
            click(window, QStringLiteral("Save..."));
            QCOMPARE(answers.lastFilter,
                     QStringLiteral("PDF Files (*.pdf);;Melbrin Reports (*.mrp)"));
            // A name without an extension is a PDF.
            answers.chooseFile(dir.filePath(QStringLiteral("cards")));
            click(window, QStringLiteral("Save..."));
        }
        QVERIFY(contents(dir.filePath(QStringLiteral("cards.pdf"))).startsWith("%PDF"));
        const QByteArray report = contents(saved);
        QVERIFY(report.startsWith("MELBRINRPT"));

        const std::vector<report::Page> one = laidOutPages(1);
        cards::PrintPreviewWindow window(
            nullptr, [&](QPagedPaintDevice* device) { report::printPages(one, *device); });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QPrintPreviewWidget* view = window.view();
        QTRY_COMPARE(view->pageCount(), 1);
        answers.chooseFile(saved);
        click(window, QStringLiteral("Load..."));
        QCOMPARE(answers.lastTitle, QStringLiteral("Load Report"));
        QCOMPARE(answers.lastFilter, QStringLiteral("Melbrin Reports (*.mrp);;All Files (*)"));
        QCOMPARE(answers.lastDefaultSuffix, QStringLiteral("mrp"));
        QVERIFY2(answers.shown().empty(), qPrintable(answers.texts().join('\n')));
        QTRY_COMPARE(view->pageCount(), 3);
        QCOMPARE(view->currentPage(), 1);
        click(window, QStringLiteral("Last"));
        QCOMPARE(view->currentPage(), 3);
        click(window, QStringLiteral("100 %"));
        QCOMPARE(view->zoomFactor(), 1.0);
        if (!qEnvironmentVariableIsEmpty("MELBRIN_KEEP_RENDERS"))
            window.grab().save(qEnvironmentVariable("MELBRIN_KEEP_RENDERS") + "/loaded.png");

        const QString again = dir.filePath(QStringLiteral("again.MRP"));
        answers.chooseFile(again);
        click(window, QStringLiteral("Save..."));
        QCOMPARE(contents(again), report);

        // Declining to replace a file leaves it; a damaged file is refused with its reason and
        // the report shown stays.
        answers.chooseFile(again);
        answers.confirmWith(false);
        click(window, QStringLiteral("Save..."));
        QVERIFY(answers.allAnswered());
        QCOMPARE(contents(again), report);
        const QString damaged = dir.filePath(QStringLiteral("damaged.mrp"));
        QFile cut(damaged);
        QVERIFY(cut.open(QIODevice::WriteOnly));
        cut.write(report.left(report.size() / 2));
        cut.close();
        answers.chooseFile(damaged);
        click(window, QStringLiteral("Load..."));
        QVERIFY2(answers.texts().join('\n').contains(QStringLiteral("damaged")),
                 qPrintable(answers.texts().join('\n')));
        QCOMPARE(view->pageCount(), 3);
    }
};

QTEST_MAIN(PreviewWindowTest)
#include "PreviewWindowTest.moc"
