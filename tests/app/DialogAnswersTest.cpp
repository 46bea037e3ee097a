// The desktop program's answers: a failure box shows the fixed text and, beneath it, why.

#include "app/DialogAnswers.h"

#include <QApplication>
#include <QMessageBox>
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
};

QTEST_MAIN(DialogAnswersTest)
#include "DialogAnswersTest.moc"
