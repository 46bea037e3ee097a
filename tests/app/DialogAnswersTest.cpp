// The desktop program's answers: a failure box shows the fixed text and, beneath it, why; a
// file name typed without an extension takes the one of the file type chosen.

#include "app/DialogAnswers.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class DialogAnswersTest : public QObject
{
    Q_OBJECT

private slots:
    void aFailureShowsItsReason()
    {
        QString title, text, informative;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            informative = box->informativeText();
            icon = box->icon();
            QTest::keyClick(box, Qt::Key_Return);
        });
        app::DialogAnswers answers;
        answers.failure(QStringLiteral("Error"), QStringLiteral("Unable to post the data."),
                        QStringLiteral("database or disk is full"));
        QCOMPARE(title, QStringLiteral("Error"));
        QCOMPARE(text, QStringLiteral("Unable to post the data."));
        QCOMPARE(informative, QStringLiteral("database or disk is full"));
        QCOMPARE(icon, QMessageBox::Critical);
    }

    void aSavedNameTakesTheExtensionOfTheChosenType_data()
    {
        QTest::addColumn<int>("typeDowns");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("saved");
        QTest::newRow("first type") << 0 << "cards"
                                    << "cards.pdf";
        QTest::newRow("second type") << 1 << "cards"
                                     << "cards.mrp";
        QTest::newRow("own extension") << 1 << "cards.pdf"
                                       << "cards.pdf";
    }

    void aSavedNameTakesTheExtensionOfTheChosenType()
    {
        QFETCH(int, typeDowns);
        QFETCH(QString, typed);
        QFETCH(QString, saved);
        QTemporaryDir dir;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(types && name);
            for (int i = 0; i < typeDowns; ++i)
                QTest::keyClick(types, Qt::Key_Down);
            QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(name, typed);
            QTest::keyClick(name, Qt::Key_Return);
            if (dialog->isVisible())
                dialog->reject(); // the test fails below instead of waiting
        });
        app::DialogAnswers answers;
        const std::optional<QString> chosen = answers.saveFileName(
            nullptr, QStringLiteral("PDF Files (*.pdf);;Melbrin Reports (*.mrp)"),
            dir.filePath(QStringLiteral("report")));
        QCOMPARE(chosen, std::optional<QString>(dir.filePath(saved)));
    }
};

QTEST_MAIN(DialogAnswersTest)
#include "DialogAnswersTest.moc"
