#include "data/Error.h"
#include "imaging/GaugeBar.h"
#include "imaging/Picture.h"
#include "imaging/PictureCommands.h"
#include "imaging/TPg.h"

#include <QtTest>

using imaging::TPg;

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// What the window system holds of the window: the pixels painted into its backing store,
// not a fresh rendering of the widget.
QImage onScreen(const QWidget& window)
{
    return window.screen()->grabWindow(window.winId()).toImage();
}

// Whether the gauge is filled (black) at the given fraction of its width, along its top row
// of pixels inside the border, where the percentage text never reaches.
bool filledAt(const QImage& image, double fraction)
{
    const int x = 1 + int(310 * fraction);
    return QColor(image.pixel(x, 2)) == QColor(Qt::black);
}

} // namespace

class ProgressWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void designValues()
    {
        QWidget owner;
        TPg pg(&owner);
        QCOMPARE(pg.windowTitle(), QStringLiteral("Progress"));
        QCOMPARE(pg.size(), QSize(312, 26));
        QCOMPARE(pg.bar().geometry(), QRect(0, 0, 312, 26));
        QCOMPARE(pg.bar().objectName(), QStringLiteral("bar"));
        QCOMPARE(pg.bar().gauge().min(), 0);
        QCOMPARE(pg.bar().gauge().max(), 100);
        QCOMPARE(pg.bar().gauge().position(), 0);
        QVERIFY(!pg.isModal());
    }

    void rangeConstructorTakesSixteenBits_data()
    {
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("min");
        QTest::addColumn<int>("max");
        QTest::addColumn<int>("percentAfter10");
        QTest::newRow("empty table") << 0 << 0 << 0 << 0 << 0;
        QTest::newRow("70000 rows") << 0 << 70000 << 0 << 4464 << 0;
        QTest::newRow("65536 rows") << 0 << 65536 << 0 << 0 << 0;
        QTest::newRow("20 rows") << 0 << 20 << 0 << 20 << 50;
        QTest::newRow("min past 65535") << 65536 + 5 << 15 << 5 << 15 << 100;
    }
    void rangeConstructorTakesSixteenBits()
    {
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        TPg pg(nullptr, minimum, maximum);
        QFETCH(int, min);
        QFETCH(int, max);
        QFETCH(int, percentAfter10);
        QCOMPARE(pg.bar().gauge().min(), min);
        QCOMPARE(pg.bar().gauge().max(), max);
        for (int i = 0; i < 10; ++i)
            pg.Step();
        QCOMPARE(pg.bar().gauge().percent(), percentAfter10);
    }

    void minimumIsSetBeforeMaximum()
    {
        // The design maximum 100 is still in place when the minimum is set.
        QVERIFY_THROWS_EXCEPTION(data::Error, TPg(nullptr, 200, 300));
    }

    void stepRepaintsAtOnce()
    {
        TPg pg(nullptr);
        pg.setMax(639);
        pg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pg));
        PaintCounter counter;
        pg.bar().installEventFilter(&counter);
        pg.Step(); // the percentage stays 0, yet the gauge is drawn before Step returns
        QCOMPARE(counter.paints, 1);
        for (int i = 1; i < 320; ++i)
            pg.Step();
        QCOMPARE(counter.paints, 320);
        QCOMPARE(pg.bar().gauge().percent(), 50);
        for (int i = 0; i < 400; ++i)
            pg.Step();
        QCOMPARE(pg.bar().gauge().percent(), 100);
        QCOMPARE(pg.bar().gauge().position(), 639);
    }

    void stepsShowWithoutTheEventLoop()
    {
        // The caller's loop runs no events of its own: between show() and the steps, and
        // between the steps, nothing else lets the window system's events through.
        QWidget owner;
        TPg pg(&owner, 0, 100);
        pg.show();
        QVERIFY(pg.windowHandle()->isExposed());
        for (int i = 0; i < 30; ++i)
            pg.Step();
        QImage shown = onScreen(pg);
        QCOMPARE(shown.size(), QSize(312, 26));
        QVERIFY(filledAt(shown, 0.2));
        QVERIFY(!filledAt(shown, 0.4));
        for (int i = 0; i < 40; ++i)
            pg.Step();
        shown = onScreen(pg);
        QVERIFY(filledAt(shown, 0.6));
        QVERIFY(!filledAt(shown, 0.8));
        // Centred on the screen.
        const QRect screen = pg.screen()->availableGeometry();
        QVERIFY(qAbs(pg.frameGeometry().center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(pg.frameGeometry().center().y() - screen.center().y()) <= 1);
    }

    void userCannotDismissIt()
    {
        QWidget owner;
        TPg pg(&owner, 0, 10);
        pg.show();
        QTest::keyClick(&pg, Qt::Key_Escape);
        QVERIFY(pg.isVisible());
        QTest::keyClick(&pg.bar(), Qt::Key_Escape); // where the focus would be
        QVERIFY(pg.isVisible());
        // What the title bar's close button and the window manager's close command send.
        QCloseEvent close;
        QCoreApplication::sendEvent(&pg, &close);
        QVERIFY(!close.isAccepted());
        QVERIFY(pg.isVisible());
        QVERIFY(!pg.close());
        QVERIFY(pg.isVisible());
        pg.Step();
        QCOMPARE(pg.bar().gauge().percent(), 10);
        // The caller still hides it.
        pg.hide();
        QVERIFY(!pg.isVisible());
    }

    void gaugeIsDrawnInvertedText()
    {
        imaging::GaugeBar bar;
        bar.resize(312, 26);
        bar.setPosition(50);
        const QImage image = bar.grab().toImage();
        QCOMPARE(QColor(image.pixel(0, 0)), QColor(Qt::black)); // border
        QCOMPARE(QColor(image.pixel(5, 3)), QColor(Qt::black)); // filled half
        QCOMPARE(QColor(image.pixel(300, 3)), QColor(Qt::white)); // empty half
        // The text "50%" straddles the middle: white ink left of it, black ink right of it.
        bool whiteInk = false, blackInk = false;
        for (int y = 2; y < 24; ++y)
            for (int x = 130; x < 180; ++x) {
                const QRgb c = image.pixel(x, y);
                const int mid = 1 + 310 / 2;
                whiteInk |= x < mid && qGray(c) > 128;
                blackInk |= x >= mid && qGray(c) < 128;
            }
        QVERIFY(whiteInk);
        QVERIFY(blackInk);
    }

    void pixelLoopsRefuseAPictureWithoutRows()
    {
        QWidget owner;
        imaging::Picture picture(4, 0);
        try {
            imaging::Rotate90(&owner, picture);
            QFAIL("no refusal");
        } catch (const data::Error& error) {
            QCOMPARE(error.message(), QStringLiteral("Value must be between 1 and 2147483647"));
        }
        QCOMPARE(picture.width(), 4);
        // The progress window went with the failure.
        QVERIFY(owner.findChildren<TPg*>().isEmpty());
    }
};

QTEST_MAIN(ProgressWindowTest)
#include "ProgressWindowTest.moc"
