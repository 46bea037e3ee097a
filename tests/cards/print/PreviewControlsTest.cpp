// The preview window driven with the mouse and keys as a user does: paging enabled only
// towards pages that exist, the zoom box showing the zoom in force, Print with no printer
// installed ending in a PDF file, PDF names ending in ".pdf", and the window keeping the rest
// of the program from taking clicks while it is open.
//
// CTest runs this program with no print server reachable (CUPS_SERVER names a missing socket).

#include "ScriptedAnswers.h"
#include "cards/print/PrintOutput.h"
#include "cards/print/PrintPreviewWindow.h"
#include "data/Error.h"
#include "report/PageCapture.h"
#include "report/TextMetrics.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

namespace {

// Laid-out A4 pages that read "Page 1", "Page 2", ...
data::Answers::Render pages(int count)
{
    return [count](QPagedPaintDevice* device) {
        static const report::TextMetrics metrics;
        const QFont font(QStringLiteral("Arial"), 12);
        std::vector<report::Page> laidOut;
        for (int number = 1; number <= count; ++number) {
            report::Page page;
            page.number = number;
            page.width = report::mm(210);
            page.height = report::mm(297);
            const QString text = QStringLiteral("Page %1").arg(number);
            page.items.push_back(
                report::TextItem {report::mm(10), report::mm(10), metrics.width(font, text),
                                  metrics.lineHeight(font), text, font, Qt::black});
            laidOut.push_back(page);
        }
        report::printPages(laidOut, *device);
    };
}

QAction* action(QWidget* window, const QString& name)
{
    auto* found = window->findChild<QAction*>(name);
    if (!found)
        qFatal("no action %s", qPrintable(name));
    return found;
}

// The tool bar button of an action, as the user sees and clicks it.
QWidget* button(QWidget* window, const QString& name)
{
    return window->findChild<QToolBar*>()->widgetForAction(action(window, name));
}

void click(QWidget* window, const QString& name)
{
    QWidget* target = button(window, name);
    QTest::mouseClick(target, Qt::LeftButton, {}, target->rect().center());
}

QString zoomText(QWidget* window)
{
    const auto* box = window->findChild<QComboBox*>(QStringLiteral("zoom"));
    return box ? box->currentText() : QStringLiteral("(no zoom box)");
}

QString percent(const QPrintPreviewWidget* view)
{
    return QStringLiteral("%1 %").arg(qRound(view->zoomFactor() * 100));
}

QString pdfText(const QString& pdf)
{
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    tool.waitForFinished(30000);
    return QString::fromUtf8(tool.readAllStandardOutput()).simplified();
}

// The buttons' enabled states: First, Previous, Next, Last.
QList<bool> paging(QWidget* window)
{
    QList<bool> result;
    for (const char* name : {"First", "Previous", "Next", "Last"})
        result << button(window, QLatin1String(name))->isEnabled();
    return result;
}

} // namespace

class PreviewControlsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void pagingOnlyTowardsPagesThatExist()
    {
        {
            cards::PrintPreviewWindow one(nullptr, pages(1));
            one.show();
            QVERIFY(QTest::qWaitForWindowExposed(&one));
            QTRY_COMPARE(one.view()->pageCount(), 1);
            QCOMPARE(paging(&one), (QList<bool> {false, false, false, false}));
        }
        cards::PrintPreviewWindow window(nullptr, pages(3));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_COMPARE(window.view()->pageCount(), 3);
        QCOMPARE(window.view()->currentPage(), 1);
        QCOMPARE(paging(&window), (QList<bool> {false, false, true, true}));
        click(&window, QStringLiteral("Next"));
        QCOMPARE(window.view()->currentPage(), 2);
        QCOMPARE(paging(&window), (QList<bool> {true, true, true, true}));
        click(&window, QStringLiteral("Last"));
        QCOMPARE(window.view()->currentPage(), 3);
        QCOMPARE(paging(&window), (QList<bool> {true, true, false, false}));
        click(&window, QStringLiteral("Next")); // disabled: stays
        QCOMPARE(window.view()->currentPage(), 3);
        click(&window, QStringLiteral("Previous"));
        QCOMPARE(window.view()->currentPage(), 2);
        click(&window, QStringLiteral("First"));
        QCOMPARE(window.view()->currentPage(), 1);
        QCOMPARE(paging(&window), (QList<bool> {false, false, true, true}));
        QVERIFY(window.findChild<QLabel*>()->text().contains(QStringLiteral("Page 1 of 3")));
    }

    void zoomBoxShowsTheZoomInForce()
    {
        cards::PrintPreviewWindow window(nullptr, pages(2));
        window.resize(700, 600);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QPrintPreviewWidget* view = window.view();
        QTRY_COMPARE(view->pageCount(), 2);

        // Fitted on opening: a whole A4 page in 700 by 600 is well below its real size.
        QTRY_COMPARE(zoomText(&window), percent(view));
        QVERIFY2(view->zoomFactor() < 0.9, qPrintable(zoomText(&window)));

        click(&window, QStringLiteral("100 %"));
        QCOMPARE(zoomText(&window), QStringLiteral("100 %"));
        click(&window, QStringLiteral("Width"));
        QCOMPARE(view->zoomMode(), QPrintPreviewWidget::FitToWidth);
        QTRY_COMPARE(zoomText(&window), percent(view));
        QVERIFY(zoomText(&window) != QStringLiteral("100 %"));

        // A percentage typed into the box zooms to it.
        auto* box = window.findChild<QComboBox*>(QStringLiteral("zoom"));
        QVERIFY(box && box->lineEdit());
        QLineEdit* edit = box->lineEdit();
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("250"));
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(view->zoomFactor(), 2.5);
        QCOMPARE(zoomText(&window), QStringLiteral("250 %"));

        // Fitted again, and refitted when the window grows.
        click(&window, QStringLiteral("Fit"));
        QTRY_COMPARE(zoomText(&window), percent(view));
        const QString before = zoomText(&window);
        window.resize(900, 1000);
        QTRY_VERIFY(zoomText(&window) != before);
        QTRY_COMPARE(zoomText(&window), percent(view));
    }

    void printWithNoPrinterSavesAPdfFile()
    {
        QVERIFY2(QPrinterInfo::availablePrinters().isEmpty(),
                 "this test needs a system without printers (CUPS_SERVER is set by CTest)");
        QTemporaryDir dir;
        ScriptedAnswers answers;
        answers.chooseFile(dir.filePath(QStringLiteral("cards")));
        cards::PrintPreviewWindow window(nullptr, pages(2));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // A print dialog offering nothing to print on would be a dead end: turned away.
        bool dialogShown = false;
        QTimer watchdog;
        connect(&watchdog, &QTimer::timeout, [&] {
            if (auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
                dialogShown = true;
                dialog->reject();
            }
        });
        watchdog.start(20);
        click(&window, QStringLiteral("Print..."));
        QVERIFY(!dialogShown);
        QVERIFY(answers.allAnswered());
        QCOMPARE(answers.shown().size(), std::size_t(1));
        QVERIFY2(answers.shown()[0].text.contains(QStringLiteral("No printer")),
                 qPrintable(answers.shown()[0].text));
        const QString pdf = dir.filePath(QStringLiteral("cards.pdf"));
        QVERIFY(QFileInfo::exists(pdf));
        QCOMPARE(pdfText(pdf), QStringLiteral("Page 1 Page 2"));
    }

    void savedPdfNamesEndInPdf_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::newRow("no extension") << "cards"
                                      << "cards.pdf";
        QTest::newRow("another extension") << "cards.txt"
                                           << "cards.txt.pdf";
        QTest::newRow("trailing dot") << "cards."
                                      << "cards..pdf";
        QTest::newRow("pdf") << "cards.pdf"
                             << "cards.pdf";
        QTest::newRow("PDF in capitals") << "Cards.PDF"
                                         << "Cards.PDF";
    }

    void savedPdfNamesEndInPdf()
    {
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QTemporaryDir dir;
        ScriptedAnswers answers;
        answers.chooseFile(dir.filePath(typed));
        cards::PrintPreviewWindow window(nullptr, pages(1));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        click(&window, QStringLiteral("Save..."));
        QVERIFY(answers.allAnswered());
        QVERIFY(answers.texts().isEmpty());
        QCOMPARE(answers.lastFilter, cards::saveFileFilter);
        QCOMPARE(answers.lastFileName,
                 QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList {written});
        QCOMPARE(pdfText(dir.filePath(written)), QStringLiteral("Page 1"));
    }

    // The print dialog's print-to-file choice: the PDF takes the name (".pdf" added) only
    // when the printer has finished; a failed print leaves the earlier file and no part file.
    void printingToAFileReplacesItOnlyWhenWhole()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("cards.pdf"));
        QFile earlier(pdf);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("an earlier PDF");
        earlier.close();
        const auto failing = [](QPagedPaintDevice* device) {
            QPainter painter(device);
            painter.drawText(QPointF(100, 100), QStringLiteral("Page 1"));
            throw data::Error(QStringLiteral("the report failed"));
        };
        {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(dir.filePath(QStringLiteral("cards")));
            QVERIFY_THROWS_EXCEPTION(data::Error, cards::printToPdfFile(printer, failing));
        }
        QVERIFY(earlier.open(QIODevice::ReadOnly));
        QCOMPARE(earlier.readAll(), QByteArray("an earlier PDF"));
        earlier.close();
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList {"cards.pdf"});

        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("cards")));
        cards::printToPdfFile(printer, pages(2));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList {"cards.pdf"});
        QCOMPARE(pdfText(pdf), QStringLiteral("Page 1 Page 2"));
    }

    // While a preview is open, a click on the window that opened it goes nowhere: no second
    // preview can take over the rows the first one prints.
    void clicksOutsideTheOpenPreviewAreTurnedAway()
    {
        QWidget owner;
        owner.resize(300, 200);
        auto* second = new QPushButton(QStringLiteral("Preview"), &owner);
        second->setGeometry(20, 20, 120, 30);
        int clicked = 0;
        connect(second, &QPushButton::clicked, [&] { ++clicked; });
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        QTest::mouseClick(owner.windowHandle(), Qt::LeftButton, {}, second->geometry().center());
        QCOMPARE(clicked, 1); // the button takes clicks before

        bool checked = false;
        QTimer::singleShot(0, [&] {
            auto* window
                = qobject_cast<cards::PrintPreviewWindow*>(QApplication::activeModalWidget());
            // Closed also after a failed check, so that the test ends.
            const auto closeWindow = qScopeGuard([&] {
                if (QWidget* shown = QApplication::activeModalWidget())
                    shown->close();
            });
            QVERIFY(window);
            QVERIFY(QTest::qWaitForWindowExposed(window));
            QTest::mouseClick(owner.windowHandle(), Qt::LeftButton, {},
                              second->geometry().center());
            QCOMPARE(clicked, 1);
            checked = true;
        });
        cards::showPrintPreview(&owner, pages(1));
        QVERIFY(checked);
        QTest::mouseClick(owner.windowHandle(), Qt::LeftButton, {}, second->geometry().center());
        QCOMPARE(clicked, 2); // and again once the preview is closed
    }
};

QTEST_MAIN(PreviewControlsTest)
#include "PreviewControlsTest.moc"
