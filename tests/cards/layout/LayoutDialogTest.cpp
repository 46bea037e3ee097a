// The card layout dialog's controls, its handlers and the "Card Layout" command.
#include "Fixtures.h"
#include "LayoutFixture.h"
#include "cards/CardOptions.h"
#include "cards/LabelFontMapping.h"
#include "cards/LabelStream.h"
#include "cards/layout/FontLabel.h"
#include "cards/layout/LayoutCommand.h"
#include "cards/layout/SpinEdit.h"
#include "data/ErrorHandler.h"
#include "imaging/ImageBox.h"
#include "imaging/TDlgTouch.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <deque>
#include <functional>

using cards::TFmLayout;

namespace {

// Runs the actions one at a time, each when a modal window of type W is up; returns how
// many ran.
template<typename W> class WhenShown
{
public:
    explicit WhenShown(std::deque<std::function<void(W*)>> actions)
        : m_actions(std::move(actions))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto* shown = qobject_cast<W*>(QApplication::activeModalWidget());
            if (!shown || !shown->isVisible() || m_actions.empty())
                return;
            auto action = std::move(m_actions.front());
            m_actions.pop_front();
            ++ran;
            action(shown);
        });
        m_timer.start(5);
    }
    int ran = 0;

private:
    std::deque<std::function<void(W*)>> m_actions;
    QTimer m_timer;
};

imaging::Picture colouredPicture(int width, int height, QRgb colour)
{
    imaging::Picture picture(width, height);
    picture.fill(colour);
    return picture;
}

} // namespace

class LayoutDialogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void controlsStandWhereDesigned_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("page control") << "PageControl1" << QRect(0, 0, 424, 293);
        QTest::newRow("bottom strip") << "Panel1" << QRect(0, 293, 424, 32);
        QTest::newRow("Preview") << "Button1" << QRect(4, 4, 75, 25);
        QTest::newRow("Save Settings") << "bSave" << QRect(84, 4, 85, 25);
        QTest::newRow("Exit") << "Button2" << QRect(172, 4, 75, 25);
        QTest::newRow("captions box") << "Captions" << QRect(4, 8, 137, 197);
        QTest::newRow("slot 1 caption") << "Button3" << QRect(8, 20, 120, 21);
        QTest::newRow("slot 7 caption") << "Button9" << QRect(8, 164, 120, 21);
        QTest::newRow("fields box") << "GroupBox1" << QRect(148, 8, 169, 197);
        QTest::newRow("slot 1 list") << "ComboBox1" << QRect(12, 20, 145, 21);
        QTest::newRow("slot 7 list") << "ComboBox7" << QRect(12, 164, 145, 21);
        QTest::newRow("Print Background") << "cbBack" << QRect(8, 4, 117, 17);
        QTest::newRow("background box") << "gbBack" << QRect(4, 24, 405, 233);
        QTest::newRow("background frame") << "pBack" << QRect(68, 20, 324, 204);
        QTest::newRow("background") << "imgBack" << QRect(2, 2, 320, 200);
        QTest::newRow("Load") << "bLoad" << QRect(8, 20, 53, 25);
        QTest::newRow("Adjust") << "Button10" << QRect(8, 104, 53, 25);
        QTest::newRow("style box") << "GroupBox3" << QRect(4, 4, 245, 73);
        QTest::newRow("style 2 card") << "Panel3" << QRect(108, 16, 49, 37);
        QTest::newRow("style 2 photo") << "Panel4" << QRect(28, 12, 17, 21);
        QTest::newRow("style 3 card") << "Panel7" << QRect(192, 16, 33, 45);
        QTest::newRow("Custom Options") << "cbCustom" << QRect(8, 4, 97, 17);
        QTest::newRow("options box") << "gbOptions" << QRect(8, 24, 109, 125);
        QTest::newRow("Print Captions") << "cbCaptions" << QRect(8, 44, 89, 17);
        QTest::newRow("position box") << "GroupBox5" << QRect(8, 68, 89, 49);
        QTest::newRow("text options box") << "gbText" << QRect(8, 152, 229, 57);
        QTest::newRow("Demo Text") << "lbFont" << QRect(8, 16, 145, 29);
        QTest::newRow("Change") << "bFont" << QRect(164, 20, 55, 25);
        QTest::newRow("Shrink long text to fit") << "cbShrink" << QRect(8, 216, 229, 17);
    }
    void controlsStandWhereDesigned()
    {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        LayoutFixture f;
        const auto dialog = f.open();
        const auto* control = dialog->findChild<QWidget*>(name);
        QVERIFY(control);
        if (qobject_cast<const QCheckBox*>(control)) {
            // Check boxes may grow to fit their text in the face at hand.
            QCOMPARE(control->pos(), geometry.topLeft());
            QCOMPARE(control->height(), geometry.height());
            QVERIFY(control->width() >= geometry.width());
        } else {
            QCOMPARE(control->geometry(), geometry);
        }
    }

    void dialogAsDesigned()
    {
        LayoutFixture f;
        const auto dialog = f.open();
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Card Layout"));
        QCOMPARE(dialog->size(), QSize(424, 325));
        QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
        QStringList tabs;
        for (int i = 0; i < dialog->PageControl1->count(); ++i)
            tabs << dialog->PageControl1->tabText(i);
        QCOMPARE(tabs,
                 (QStringList {"Data Fields", "Card Background", "Card Style", "Custom Options"}));
        QCOMPARE(dialog->Button1->text(), QStringLiteral("Preview"));
        QCOMPARE(dialog->bSave->text(), QStringLiteral("Save Settings"));
        QCOMPARE(dialog->Button2->text(), QStringLiteral("Exit"));
        QVERIFY(dialog->Button10->isHidden());
        QVERIFY(dialog->rbFmt1->text().isEmpty());
        QCOMPARE(dialog->lbFont->text(), QStringLiteral("Demo Text"));
        QCOMPARE(dialog->lbFont->alignment(), Qt::AlignCenter);
        QCOMPARE(dialog->findChild<QLabel*>("Label1")->text(), QStringLiteral("mm"));
        QCOMPARE(dialog->sePos->minimum(), 0);
        QCOMPARE(dialog->sePos->maximum(), 86);
        QCOMPARE(dialog->Button1->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(dialog->cbCustom->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(dialog->slotList(4)->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(dialog->bFont->cursor().shape(), Qt::ArrowCursor);
        // The sketches: the photo at the left, at the right, at the top.
        QCOMPARE(dialog->Panel6->geometry(), QRect(4, 12, 17, 21));
        QCOMPARE(dialog->Panel8->geometry(), QRect(8, 4, 17, 21));
        QCOMPARE(dialog->Panel5->frameShadow(), QFrame::Raised);
        QCOMPARE(dialog->Panel6->frameShadow(), QFrame::Sunken);
    }

    void opensOnTheFirstTab()
    {
        LayoutFixture f;
        const auto dialog = f.open();
        dialog->PageControl1->setCurrentIndex(3);
        dialog->FormCreate();
        QCOMPARE(dialog->PageControl1->currentIndex(), 0);
    }

    void captionRename_data()
    {
        QTest::addColumn<std::optional<QString>>("entered");
        QTest::addColumn<QString>("caption");
        QTest::newRow("confirmed") << std::optional<QString>("Badge") << "Badge";
        QTest::newRow("emptied") << std::optional<QString>("") << "";
        QTest::newRow("cancelled") << std::optional<QString>() << "Staff No";
    }
    void captionRename()
    {
        QFETCH(std::optional<QString>, entered);
        QFETCH(QString, caption);
        LayoutFixture f;
        const auto dialog = f.open();
        f.answers.enter(entered);
        dialog->captionButton(3)->click();
        QCOMPARE(f.answers.questions(), QStringList {"Change caption name: Staff No"});
        QCOMPARE(dialog->captionButton(3)->text(), caption);
        // Previews take it at once; the database only through "Save Settings".
        QCOMPARE(dialog->options().slotChoices[2].caption, caption);
        QCOMPARE(f.caption(3), QStringLiteral("Staff No"));
    }

    void backgroundClearRotateAndLoad()
    {
        LayoutFixture f;
        const auto dialog = f.open();
        dialog->imgBack->setPicture(fixtures::pattern(640, 400));
        dialog->bClear->click();
        QCOMPARE(dialog->imgBack->picture(), colouredPicture(640, 400, qRgb(255, 255, 255)));

        dialog->imgBack->setPicture(fixtures::pattern(640, 400));
        const QRgb corner = dialog->imgBack->picture().pixel(0, 399);
        dialog->bRotate->click();
        QCOMPARE(dialog->imgBack->picture().width(), 400);
        QCOMPARE(dialog->imgBack->picture().height(), 640);
        QCOMPARE(dialog->imgBack->toolTip(), QStringLiteral("400 x 640"));
        QVERIFY(dialog->imgBack->picture().pixel(0, 0) == corner
                || dialog->imgBack->picture().pixel(399, 639) == corner);

        QTemporaryDir dir;
        const QString file = dir.filePath("back.bmp");
        fixtures::writeFile(file, fixtures::bitmap(fixtures::pattern(50, 30), 24));
        f.answers.chooseFile(file);
        dialog->bLoad->click();
        QCOMPARE(dialog->imgBack->picture(), fixtures::pattern(50, 30));
        QCOMPARE(dialog->imgBack->toolTip(), QStringLiteral("50 x 30"));
        f.answers.chooseFile(std::nullopt);
        dialog->bLoad->click();
        QCOMPARE(dialog->imgBack->picture().width(), 50);
        QVERIFY(f.answers.allAnswered());
        QVERIFY(f.answers.texts().isEmpty());
    }

    void styleFitsTheBackgroundFrame()
    {
        LayoutFixture f;
        const auto dialog = f.open();
        const imaging::Picture picture = fixtures::pattern(64, 48);
        dialog->imgBack->setPicture(picture);
        dialog->rbFmt3->click();
        QCOMPARE(dialog->pBack->size(), QSize(125, 204));
        QCOMPARE(dialog->imgBack->geometry(), QRect(2, 2, 121, 200));
        QCOMPARE(dialog->options().style, 2);
        dialog->rbFmt2->click();
        QCOMPARE(dialog->pBack->size(), QSize(324, 204));
        QCOMPARE(dialog->imgBack->size(), QSize(320, 200));
        QCOMPARE(dialog->options().style, 1);
        QCOMPARE(dialog->imgBack->picture(), picture);
    }

    void customOptionsShowAndHideTheirBoxes()
    {
        LayoutFixture f;
        const auto dialog = f.open();
        dialog->cbCustom->click();
        QVERIFY(!dialog->gbOptions->isHidden());
        QVERIFY(!dialog->gbText->isHidden());
        dialog->cbCustom->click();
        QVERIFY(dialog->gbOptions->isHidden());
        QVERIFY(dialog->gbText->isHidden());
    }

    // Typed text counts when the field is left: pulled into 0..86, not a number is 0.
    void textPosition_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("shown");
        QTest::newRow("inside") << "37" << 37 << "37";
        QTest::newRow("past the limit") << "100" << 86 << "86";
        QTest::newRow("negative") << "-5" << 0 << "0";
        QTest::newRow("empty") << "" << 0 << "0";
        QTest::newRow("sign only") << "-" << 0 << "0";
        QTest::newRow("letters are refused") << "4x2" << 42 << "42";
    }
    void textPosition()
    {
        QFETCH(QString, typed);
        QFETCH(int, value);
        QFETCH(QString, shown);
        LayoutFixture f;
        const auto dialog = f.open();
        auto* edit = dialog->sePos->findChild<QLineEdit*>();
        QVERIFY(edit);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, typed);
        QFocusEvent leave(QEvent::FocusOut);
        QApplication::sendEvent(dialog->sePos, &leave);
        QCOMPARE(dialog->sePos->value(), value);
        QCOMPARE(edit->text(), shown);
        QCOMPARE(dialog->options().position, value);

        dialog->sePos->setValue(200);
        QCOMPARE(dialog->sePos->value(), 86);
    }

    void fontDialog_data()
    {
        QTest::addColumn<std::optional<QFont>>("chosen");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("style");
        QTest::addColumn<QColor>("color"); // invalid: the dialog keeps the colour
        QTest::addColumn<int>("stored"); // 00BBGGRR
        QFont styled(QStringLiteral("DejaVu Serif"), 14);
        styled.setBold(true);
        styled.setItalic(true);
        styled.setUnderline(true);
        styled.setStrikeOut(true);
        const QColor keep;
        QTest::newRow("bold italic underline strike-out")
            << std::optional(styled) << -19 << 15 << keep << 0x008000;
        QTest::newRow("red") << std::optional(QFont("DejaVu Serif", 10)) << -13 << 0
                             << QColor(Qt::red) << 0x0000FF;
        QTest::newRow("too large")
            << std::optional(QFont("DejaVu Serif", 30)) << -24 << 0 << keep << 0x008000;
        QTest::newRow("too small")
            << std::optional(QFont("DejaVu Serif", 6)) << -11 << 0 << keep << 0x008000;
        QFont pixels(QStringLiteral("DejaVu Serif"));
        pixels.setPixelSize(100);
        QTest::newRow("in pixels") << std::optional(pixels) << -24 << 0 << keep << 0x008000;
        QTest::newRow("cancelled")
            << std::optional<QFont>() << -13 << 0 << QColor(Qt::red) << 0x008000;
    }
    void fontDialog()
    {
        QFETCH(std::optional<QFont>, chosen);
        QFETCH(int, height);
        QFETCH(int, style);
        QFETCH(QColor, color);
        QFETCH(int, stored);
        // A stored font of another colour and character set: both stay.
        LayoutFixture f(QStringLiteral("update param set font = X'%1'")
                            .arg(QString::fromLatin1(cards::LabelStream::write([] {
                                                         cards::LabelProperties label;
                                                         label.font.color = 0x008000;
                                                         label.font.charset = 136;
                                                         return label;
                                                     }())
                                                         .toHex())));
        const auto dialog = f.open();
        f.answers.pickFont(chosen, color);
        dialog->bFont->click();
        QCOMPARE(f.answers.lastMinPoints, 8);
        QCOMPARE(f.answers.lastMaxPoints, 18);
        const cards::LabelFont& font = dialog->lbFont->properties().font;
        QCOMPARE(font.name, chosen ? QStringLiteral("DejaVu Serif") : QStringLiteral("Arial"));
        QCOMPARE(font.height, height);
        QCOMPARE(int(font.style), style);
        QCOMPARE(font.color, stored);
        QCOMPARE(font.charset, 136);
        QCOMPARE(dialog->lbFont->font().pointSize(), cards::LabelFontMapping::pointSize(height));
        QCOMPARE(dialog->options().font.pointSize(), cards::LabelFontMapping::pointSize(height));
        QCOMPARE(dialog->options().fontColor,
                 QColor(stored & 0xFF, (stored >> 8) & 0xFF, (stored >> 16) & 0xFF));
    }

    void adjustTakesTheTouchedUpPicture_data()
    {
        QTest::addColumn<bool>("previewed");
        QTest::addColumn<bool>("confirmed");
        QTest::addColumn<QRgb>("result");
        QTest::newRow("previewed and confirmed") << true << true << qRgb(200, 50, 20);
        QTest::newRow("previewed and cancelled") << true << false << qRgb(100, 50, 20);
        QTest::newRow("confirmed without preview") << false << true << qRgb(100, 50, 20);
    }
    void adjustTakesTheTouchedUpPicture()
    {
        QFETCH(bool, previewed);
        QFETCH(bool, confirmed);
        QFETCH(QRgb, result);
        LayoutFixture f;
        const auto dialog = f.open();
        dialog->imgBack->setPicture(colouredPicture(8, 6, qRgb(100, 50, 20)));
        WhenShown<imaging::TDlgTouch> touch({[&](imaging::TDlgTouch* d) {
            QCOMPARE(d->parent(), dialog.get());
            QCOMPARE(d->imgSrc().picture(), dialog->imgBack->picture());
            d->findChild<QScrollBar*>("sbRed")->setValue(100);
            if (previewed)
                d->findChild<QPushButton*>("Button3")->click();
            d->findChild<QPushButton*>(confirmed ? "Button1" : "Button2")->click();
        }});
        dialog->Button10Click();
        QCOMPARE(touch.ran, 1);
        QCOMPARE(dialog->imgBack->picture(), colouredPicture(8, 6, result));
        QVERIFY(dialog->findChildren<imaging::TDlgTouch*>().isEmpty());
    }

    void optionsAreTheControlsUnsaved()
    {
        LayoutFixture f;
        const auto dialog = f.open();
        dialog->slotList(7)->setCurrentIndex(8);
        dialog->captionButton(7)->setText(QStringLiteral("Note"));
        dialog->cbBack->setChecked(false);
        dialog->cbCustom->setChecked(true);
        dialog->cbCaptions->setChecked(false);
        dialog->sePos->setValue(12);
        dialog->imgBack->setPicture(fixtures::pattern(30, 20));
        const cards::CardOptions options = dialog->options();
        QCOMPARE(options.slotChoices[0].fieldIndex, 1);
        QCOMPARE(options.slotChoices[0].caption, QStringLiteral("Name"));
        QCOMPARE(options.slotChoices[6].fieldIndex, 8);
        QCOMPARE(options.slotChoices[6].caption, QStringLiteral("Note"));
        QCOMPARE(options.style, 0);
        QVERIFY(!options.printBack);
        QVERIFY(options.custom);
        QVERIFY(options.lines);
        QVERIFY(!options.captions);
        QCOMPARE(options.position, 12);
        QCOMPARE(options.background, fixtures::pattern(30, 20));
        QCOMPARE(options.font.family(), QStringLiteral("Arial"));
        QCOMPARE(options.font.pointSize(), 10);
        QCOMPARE(options.fontColor, QColor(Qt::black));
        QCOMPARE(f.param("f7").toInt(), 0);
    }

    // A custom font label on the dialog's own font prints in black, also when the desktop's
    // theme shows light text.
    void parentFontPrintsBlackOnADarkDesktop()
    {
        const QPalette saved = QApplication::palette();
        QPalette dark = saved;
        dark.setColor(QPalette::WindowText, QColor(0xE0, 0xE0, 0xE0));
        dark.setColor(QPalette::Window, QColor(0x20, 0x20, 0x20));
        QApplication::setPalette(dark);
        LayoutFixture f;
        const auto dialog = f.open();
        cards::LabelProperties label = dialog->lbFont->properties();
        label.parentFont = true;
        dialog->lbFont->setProperties(label);
        const QColor printed = dialog->options().fontColor;
        QApplication::setPalette(saved);
        QCOMPARE(printed, QColor(Qt::black));
    }

    // "Preview" previews every member with the unsaved controls and closes with OK; the
    // command shows the same dialog again until "Exit", then frees it.
    void commandShowsTheDialogAgainAfterEachPreview()
    {
        LayoutFixture f;
        addMember(f.db, 0, QStringLiteral("Ada"));
        addMember(f.db, 0, QStringLiteral("Bo"));
        int rowsPreviewed = -1;
        f.answers.onPreview
            = [&](const data::Answers::Render&) { rowsPreviewed = f.dsrc.QList.rowCount(); };
        QWidget owner;
        TFmLayout* first = nullptr;
        WhenShown<TFmLayout> steps({
            [&](TFmLayout* d) {
                first = d;
                QCOMPARE(d->parent(), &owner);
                d->slotList(1)->setCurrentIndex(3);
                d->Button1->click();
            },
            [&](TFmLayout* d) {
                QCOMPARE(d, first);
                QCOMPARE(d->slotList(1)->currentIndex(), 3);
                d->PageControl1->setCurrentIndex(2);
                d->Button1->click();
            },
            [&](TFmLayout* d) {
                QCOMPARE(d->PageControl1->currentIndex(), 2);
                d->Button2->click();
            },
        });
        data::guarded([&] { cards::actLayoutExecute(&owner, f.dsrc); });
        QCOMPARE(steps.ran, 3);
        QCOMPARE(f.answers.previews, 2);
        QCOMPARE(rowsPreviewed, 2);
        QVERIFY(!f.dsrc.QList.isOpen());
        QCOMPARE(f.dsrc.QList.sql().split("\r\n", Qt::SkipEmptyParts),
                 (QStringList {"select * from stafftbl", "left join grptbl",
                               "on stafftbl.gid=grptbl.gid"}));
        QVERIFY(f.answers.texts().isEmpty());
        QVERIFY(owner.findChildren<TFmLayout*>().isEmpty());
        QCOMPARE(f.param("f1").toInt(), 1); // nothing saved
    }

    // Centred when the command opens it; after each preview it comes back where it was, also
    // where the user moved it.
    void dialogKeepsItsPlaceAcrossPreviews()
    {
        LayoutFixture f;
        QWidget owner;
        const auto clickOn = [](QWidget* button) {
            QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        };
        QList<QPoint> shownAt;
        QPoint centreOffset;
        const QPoint moveBy(37, -23);
        const auto preview = [&](TFmLayout* d) {
            shownAt << d->pos();
            clickOn(d->Button1);
        };
        WhenShown<TFmLayout> steps({
            [&](TFmLayout* d) {
                centreOffset
                    = d->frameGeometry().center() - d->screen()->availableGeometry().center();
                preview(d);
            },
            preview,
            [&](TFmLayout* d) {
                d->move(d->pos() + moveBy); // the user moves it
                preview(d);
            },
            preview,
            [&](TFmLayout* d) {
                shownAt << d->pos();
                clickOn(d->Button2);
            },
        });
        data::guarded([&] { cards::actLayoutExecute(&owner, f.dsrc); });
        QCOMPARE(steps.ran, 5);
        QCOMPARE(f.answers.previews, 4);
        QVERIFY2(centreOffset.manhattanLength() <= 2,
                 qPrintable(QString::number(centreOffset.y())));
        const QPoint first = shownAt.value(0);
        QCOMPARE(shownAt,
                 (QList<QPoint> {first, first, first + moveBy, first + moveBy, first + moveBy}));
    }

    void closeBoxEndsTheCommand()
    {
        LayoutFixture f;
        QWidget owner;
        WhenShown<TFmLayout> steps({[](TFmLayout* d) { d->close(); }});
        cards::actLayoutExecute(&owner, f.dsrc);
        QCOMPARE(steps.ran, 1);
        QVERIFY(owner.findChildren<TFmLayout*>().isEmpty());
    }
};

QTEST_MAIN(LayoutDialogTest)
#include "LayoutDialogTest.moc"
