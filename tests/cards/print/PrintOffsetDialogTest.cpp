// The print offset dialog, typed into and clicked as a user does.

#include "cards/print/PrintOffsetDialog.h"

#include "ScriptedAnswers.h"
#include "cards/print/PrintOffsets.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

class PrintOffsetDialogTest : public QObject
{
    Q_OBJECT

    static void type(QDoubleSpinBox* box, const QString& text)
    {
        box->setFocus();
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Tab);
    }

    static QString pdfInfo(const QString& pdf)
    {
        QProcess p;
        p.start(QStringLiteral("pdfinfo"), {pdf});
        p.waitForFinished();
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    static QString pdfText(const QString& pdf)
    {
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        p.waitForFinished();
        return QString::fromUtf8(p.readAllStandardOutput());
    }

private slots:
    void init() { cards::writePrintOffset(QString(), {}); }

    void typedOffsetsAreSavedForThePdfWriter()
    {
        ScriptedAnswers answers;
        cards::PrintOffsetDialog dialog(nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.printerBox()->currentText(), QStringLiteral("PDF file"));
        type(dialog.xBox(), QStringLiteral("2.0"));
        type(dialog.yBox(), QStringLiteral("-1.5"));
        QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
        QVERIFY(answers.shown().empty());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(cards::readPrintOffset(QString()), (cards::PrintOffset {20, -15}));

        cards::PrintOffsetDialog again(nullptr);
        QCOMPARE(again.xBox()->value(), 2.0);
        QCOMPARE(again.yBox()->value(), -1.5);
    }

    void offsetsBeyondTenMillimetresAreRefusedAndNothingIsStoredOrPrinted_data()
    {
        QTest::addColumn<QString>("x");
        QTest::addColumn<QString>("y");
        QTest::addColumn<QString>("says");
        QTest::newRow("x too far right") << "10.1"
                                         << "0"
                                         << "The x offset +10.1 mm";
        QTest::newRow("y too far up") << "0"
                                      << "-12.5"
                                      << "The y offset -12.5 mm";
    }
    void offsetsBeyondTenMillimetresAreRefusedAndNothingIsStoredOrPrinted()
    {
        QFETCH(QString, x);
        QFETCH(QString, y);
        QFETCH(QString, says);
        cards::writePrintOffset(QString(), {5, 5});
        ScriptedAnswers answers;
        cards::PrintOffsetDialog dialog(nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        type(dialog.xBox(), x);
        type(dialog.yBox(), y);
        QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
        QCOMPARE(answers.shown().size(), std::size_t(1));
        QVERIFY2(answers.texts().front().startsWith(says), qPrintable(answers.texts().front()));
        QVERIFY(answers.texts().front().contains(QStringLiteral("-10.0 to +10.0 mm")));
        QVERIFY(dialog.isVisible());
        QCOMPARE(cards::readPrintOffset(QString()), (cards::PrintOffset {5, 5}));

        // Nor is a calibration page printed: no file is even asked for.
        QTest::mouseClick(dialog.calibrateButton(), Qt::LeftButton);
        QCOMPARE(answers.shown().size(), std::size_t(2));
        QVERIFY(answers.questions().isEmpty());
    }

    void calibrationPagePrintsOnTheCardWithTheOffsetTyped()
    {
        QTemporaryDir folder;
        const QString pdf = folder.filePath(QStringLiteral("calibration.pdf"));
        ScriptedAnswers answers;
        answers.chooseFile(pdf);
        cards::PrintOffsetDialog dialog(nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        type(dialog.xBox(), QStringLiteral("2.0"));
        type(dialog.yBox(), QStringLiteral("-1.5"));
        QTest::mouseClick(dialog.calibrateButton(), Qt::LeftButton);
        QVERIFY2(answers.shown().empty(), qPrintable(answers.texts().join(u'\n')));
        QVERIFY(answers.allAnswered());
        QVERIFY(pdfInfo(pdf).contains(QStringLiteral("243 x 153 pts")));
        const QString text = pdfText(pdf);
        QVERIFY2(text.contains(QStringLiteral("Calibration page for PDF file")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("x +2.0 mm, y -1.5 mm")));
        QCOMPARE(cards::readPrintOffset(QString()), cards::PrintOffset()); // printing saves nothing
        QVERIFY(dialog.isVisible());
    }
};

QTEST_MAIN(PrintOffsetDialogTest)
#include "PrintOffsetDialogTest.moc"
