// The layout dialog's choice between A4 sheets and a card printer, clicked as a user does.

#include "LayoutFixture.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

class OutputChoiceTest : public QObject
{
    Q_OBJECT

    static QString storedOutput(const LayoutFixture& f)
    {
        return f.db.scalar(QStringLiteral("select value from settings where key='card.output'"))
            .toString();
    }

private slots:
    // Absent, the sheets as always; clicked and saved, the card printer, stored and shown again.
    void cardPrinterIsChosenOnTheStyleTabAndKept()
    {
        LayoutFixture f;
        {
            const auto dialog = f.open();
            dialog->show();
            QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
            QVERIFY(dialog->rbSheet->isChecked());
            QCOMPARE(dialog->options().output, cards::CardOutput::Sheet);
            dialog->PageControl1->setCurrentWidget(dialog->TabSheet3);
            QVERIFY(dialog->rbCardPrinter->isVisible());
            QTest::mouseClick(dialog->rbCardPrinter, Qt::LeftButton, {},
                              QPoint(8, dialog->rbCardPrinter->height() / 2));
            QVERIFY(dialog->rbCardPrinter->isChecked());
            QVERIFY(dialog->rbFmt1->isChecked()); // the style is another choice
            QCOMPARE(dialog->options().output, cards::CardOutput::CardPrinter);
            QVERIFY(storedOutput(f).isEmpty()); // not before Save
            QTest::mouseClick(dialog->bSave, Qt::LeftButton);
            QCOMPARE(f.answers.texts(), QStringList {"Settings are saved."});
        }
        QCOMPARE(storedOutput(f), QStringLiteral("card"));
        {
            const auto again = f.open();
            QVERIFY(again->rbCardPrinter->isChecked());
            QCOMPARE(again->options().output, cards::CardOutput::CardPrinter);
            again->show();
            QVERIFY(QTest::qWaitForWindowExposed(again.get()));
            again->PageControl1->setCurrentWidget(again->TabSheet3);
            QTest::mouseClick(again->rbSheet, Qt::LeftButton, {},
                              QPoint(8, again->rbSheet->height() / 2));
            QCOMPARE(again->options().output, cards::CardOutput::Sheet);
            QTest::mouseClick(again->bSave, Qt::LeftButton);
        }
        QCOMPARE(storedOutput(f), QStringLiteral("a4"));
    }
};

QTEST_MAIN(OutputChoiceTest)
#include "OutputChoiceTest.moc"
