#include "Fixtures.h"
#include "ScriptedAnswers.h"
#include "data/Error.h"
#include "imaging/ImageBox.h"
#include "imaging/TDlgTouch.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

using imaging::Picture;
using imaging::TDlgTouch;

class TouchDialogTest : public QObject
{
    Q_OBJECT

    template<typename T> static T* child(const TDlgTouch& dialog, const char* name)
    {
        T* found = dialog.findChild<T*>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    static QScrollBar* bar(const TDlgTouch& d, const char* name)
    {
        return child<QScrollBar>(d, name);
    }
    static QString text(const TDlgTouch& d, const char* name)
    {
        return child<QLabel>(d, name)->text();
    }
    static void click(const TDlgTouch& d, const char* name)
    {
        QTest::mouseClick(child<QAbstractButton>(d, name), Qt::LeftButton);
    }

private slots:
    void controlsAsDesigned()
    {
        TDlgTouch dialog(nullptr);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Photo Touchup"));
        QCOMPARE(dialog.size(), QSize(545, 489));
        QCOMPARE(dialog.imgSrc().size(), QSize(240, 180));
        QCOMPARE(bar(dialog, "sbBlue")->pageStep(), 10);
        QCOMPARE(bar(dialog, "sbGreen")->pageStep(), 1);
        QCOMPARE(bar(dialog, "sbSat")->geometry(), QRect(64, 44, 141, 17));
        for (const char* name : {"sbRed", "sbGreen", "sbBlue", "sbBright", "sbSat"}) {
            QCOMPARE(bar(dialog, name)->minimum(), -100);
            QCOMPARE(bar(dialog, name)->maximum(), 100);
            QCOMPARE(bar(dialog, name)->value(), 0);
        }
        QCOMPARE(child<QAbstractButton>(dialog, "Button1")->text(), QStringLiteral("Confirm"));
        QCOMPARE(child<QWidget>(dialog, "Button1")->parent()->objectName(),
                 QStringLiteral("Panel1"));
        QCOMPARE(text(dialog, "lbRed"), QStringLiteral("0%"));
    }

    void labelsFollowTheirBars()
    {
        TDlgTouch dialog(nullptr);
        bar(dialog, "sbGreen")->setValue(-35);
        bar(dialog, "sbSat")->setValue(100);
        QCOMPARE(text(dialog, "lbGreen"), QStringLiteral("-35%"));
        QCOMPARE(text(dialog, "lbSat"), QStringLiteral("100%"));
        QCOMPARE(text(dialog, "lbRed"), QStringLiteral("0%"));
    }

    void colourLockLinksGreenAndBlueToRed()
    {
        TDlgTouch dialog(nullptr);
        bar(dialog, "sbGreen")->setValue(-20);
        click(dialog, "CheckBox1");
        // Checking does not move them; they are disabled at once.
        QCOMPARE(bar(dialog, "sbGreen")->value(), -20);
        QVERIFY(!bar(dialog, "sbGreen")->isEnabled());
        QVERIFY(!bar(dialog, "sbBlue")->isEnabled());

        bar(dialog, "sbRed")->setValue(40);
        QCOMPARE(bar(dialog, "sbGreen")->value(), 40);
        QCOMPARE(bar(dialog, "sbBlue")->value(), 40);
        QCOMPARE(text(dialog, "lbGreen"), QStringLiteral("40%"));
        QCOMPARE(text(dialog, "lbBlue"), QStringLiteral("40%"));
        QVERIFY(!bar(dialog, "sbBlue")->isEnabled());

        click(dialog, "Button5"); // Reset with the lock on: all back to 0, still disabled
        for (const char* name : {"sbRed", "sbGreen", "sbBlue"})
            QCOMPARE(bar(dialog, name)->value(), 0);
        QCOMPARE(text(dialog, "lbBlue"), QStringLiteral("0%"));
        QVERIFY(!bar(dialog, "sbGreen")->isEnabled());

        bar(dialog, "sbRed")->setValue(40);
        click(dialog, "CheckBox1");
        QVERIFY(bar(dialog, "sbGreen")->isEnabled());
        QVERIFY(bar(dialog, "sbBlue")->isEnabled());
        QCOMPARE(bar(dialog, "sbBlue")->value(), 40);
        bar(dialog, "sbRed")->setValue(10); // unlocked: the others stay
        QCOMPARE(bar(dialog, "sbGreen")->value(), 40);
    }

    void hueLockAndReset()
    {
        TDlgTouch dialog(nullptr);
        bar(dialog, "sbSat")->setValue(-7);
        click(dialog, "CheckBox2");
        QVERIFY(!bar(dialog, "sbSat")->isEnabled());
        bar(dialog, "sbBright")->setValue(-60);
        QCOMPARE(bar(dialog, "sbSat")->value(), -60);
        QCOMPARE(text(dialog, "lbSat"), QStringLiteral("-60%"));
        click(dialog, "Button6");
        QCOMPARE(bar(dialog, "sbBright")->value(), 0);
        QCOMPARE(bar(dialog, "sbSat")->value(), 0);
        QCOMPARE(text(dialog, "lbBright"), QStringLiteral("0%"));
        // The colour bars are not linked to the hue lock.
        QCOMPARE(bar(dialog, "sbRed")->value(), 0);
        QVERIFY(bar(dialog, "sbGreen")->isEnabled());
    }

    void eachPreviewStartsFromTheOriginal()
    {
        TDlgTouch dialog(nullptr);
        Picture source(2, 1);
        source.setPixel(0, 0, qRgb(200, 50, 30));
        source.setPixel(1, 0, qRgb(100, 200, 100));
        dialog.imgSrc().setPicture(source);

        bar(dialog, "sbRed")->setValue(50);
        click(dialog, "Button3");
        QCOMPARE(dialog.imgDst().picture().pixel(0, 0), qRgb(44, 50, 30));
        click(dialog, "Button5"); // the preview stays as it is
        QCOMPARE(dialog.imgDst().picture().pixel(0, 0), qRgb(44, 50, 30));

        bar(dialog, "sbRed")->setValue(50);
        bar(dialog, "sbSat")->setValue(-100);
        click(dialog, "Button4"); // only the hue adjustment shows
        QCOMPARE(dialog.imgDst().picture().pixel(0, 0), qRgb(92, 92, 92));
        QVERIFY(dialog.imgSrc().picture() == source);
    }

    void confirmAndCancel()
    {
        TDlgTouch dialog(nullptr);
        dialog.imgSrc().setPicture(fixtures::pattern(4, 4));
        dialog.show();
        click(dialog, "Button1"); // before any preview: the empty preview
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(dialog.imgDst().picture().isEmpty());

        TDlgTouch other(nullptr);
        other.show();
        click(other, "Button2");
        QCOMPARE(other.result(), int(QDialog::Rejected));
    }

    void previewOfAnEmptyPictureFails()
    {
        TDlgTouch dialog(nullptr);
        dialog.imgSrc().setPicture(Picture(3, 0));
        QVERIFY_THROWS_EXCEPTION(data::Error, dialog.Button3Click());
        QCOMPARE(dialog.imgDst().picture().width(), 3); // the unadjusted copy

        // Pressed as a button, the refusal reaches the general error handler.
        ScriptedAnswers answers;
        click(dialog, "Button4");
        QCOMPARE(answers.texts(),
                 QStringList {QStringLiteral("Value must be between 1 and 2147483647.")});
    }
};

QTEST_MAIN(TouchDialogTest)
#include "TouchDialogTest.moc"
