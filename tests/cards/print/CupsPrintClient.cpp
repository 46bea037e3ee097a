// The printing half of cups_print_test.py (which starts the print server and reads what it
// printed): previews the card sheet of one member and prints it as a user does, with Print
// in the preview and OK in the print dialog on the default printer, which must be the queue
// named in MELBRIN_EXPECTED_QUEUE. The pages are also saved as a PDF at MELBRIN_EXPECTED_PDF.
// Card printer pages sent to MELBRIN_SHEETS_QUEUE, which has no card paper, must be refused.

#include "PrintFixture.h"
#include "ScriptedAnswers.h"
#include "cards/CardPreview.h"
#include "cards/print/CardCommands.h"
#include "cards/print/CardReport.h"
#include "cards/print/PrintPreviewWindow.h"
#include "cards/print/ReportRender.h"
#include "data/Error.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

using namespace printfixture;

namespace {

void clickAction(QWidget* window, const QString& name)
{
    auto* action = window->findChild<QAction*>(name);
    QVERIFY2(action, qPrintable(name));
    QWidget* button = window->findChild<QToolBar*>()->widgetForAction(action);
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

} // namespace

class CupsPrintClient : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void printsTheCardSheetOnTheDefaultQueue()
    {
        const QString queue = qEnvironmentVariable("MELBRIN_EXPECTED_QUEUE");
        QVERIFY2(!queue.isEmpty(), "run by cups_print_test.py");
        PrintDatabase base;
        base.add(0, QStringLiteral("Cupsworth"), {}, photoBlob(120, 160));

        QString printedOn;
        int copies = 0;
        // The print dialog, once up: OK on the printer it proposes.
        QTimer dialogDriver;
        connect(&dialogDriver, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible())
                return;
            dialogDriver.stop();
            printedOn = dialog->printer()->printerName();
            copies = dialog->printer()->copyCount();
            QPushButton* ok = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
            QTest::mouseClick(ok, Qt::LeftButton, {}, ok->rect().center());
        });

        ScriptedAnswers answers;
        answers.onPreview = [&](const data::Answers::Render& render) {
            QTimer::singleShot(0, [&] {
                QWidget* window = QApplication::activeModalWidget();
                const auto closeWindow = qScopeGuard([&] {
                    if (window)
                        window->close();
                });
                auto* preview = qobject_cast<cards::PrintPreviewWindow*>(window);
                QVERIFY(preview);
                QVERIFY(QTest::qWaitForWindowExposed(window));
                // The same pages as the program writes a PDF, to compare the paper with.
                preview->saveAsPdf(qEnvironmentVariable("MELBRIN_EXPECTED_PDF"));
                dialogDriver.start(20);
                clickAction(window, QStringLiteral("Print..."));
            });
            cards::showPrintPreview(nullptr, render);
        };
        cards::previewAllStaff(nullptr, base.dsrc, PrintDatabase::starterOptions(), base.fields);
        QCOMPARE(answers.previews, 1);
        QCOMPARE(printedOn, queue);
        QCOMPARE(copies, 1);
        QVERIFY2(answers.texts().isEmpty(), qPrintable(answers.texts().join(u'\n')));
    }

    // A queue whose paper list has no card size and which takes no paper of another size:
    // card printer pages are refused with the reason before anything reaches it.
    void cardPagesAreRefusedByAPrinterWithoutTheCardSize()
    {
        const QString queue = qEnvironmentVariable("MELBRIN_SHEETS_QUEUE");
        if (queue.isEmpty())
            QSKIP("run by cups_print_test.py");
        PrintDatabase base;
        base.add(0, QStringLiteral("Cupsworth"), {}, photoBlob(120, 160));
        cards::CardOptions options = PrintDatabase::starterOptions();
        options.output = cards::CardOutput::CardPrinter;
        base.dsrc.QList.setSql(QStringLiteral("select * from stafftbl"));
        base.dsrc.QList.open();
        const auto card = cards::makeCardReport(options, base.fields, base.dsrc.QList);
        QPrinter printer(QPrinter::HighResolution);
        printer.setPrinterName(queue);
        QCOMPARE(printer.printerName(), queue);
        try {
            cards::printReport(card->report, printer, metrics());
            QFAIL("the card pages went to a printer that has no card paper");
        } catch (const data::Error& e) {
            QVERIFY2(
                e.message().contains(QStringLiteral("does not take paper of 85.60 by 53.98 mm")),
                qPrintable(e.message()));
        }
    }
};

QTEST_MAIN(CupsPrintClient)
#include "CupsPrintClient.moc"
