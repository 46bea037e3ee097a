// Loading the stored card layout settings into the dialog and storing them back.
#include "LayoutFixture.h"
#include "cards/LabelStream.h"
#include "cards/layout/FontLabel.h"
#include "cards/layout/LayoutCommand.h"
#include "cards/layout/SpinEdit.h"
#include "data/ErrorHandler.h"
#include "imaging/ImageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

using cards::LabelProperties;
using cards::LabelStream;
using cards::TFmLayout;

namespace {

QStringList captionsOf(const TFmLayout& dialog)
{
    QStringList result;
    for (int k = 1; k <= 7; ++k)
        result << dialog.captionButton(k)->text();
    return result;
}

QList<int> choicesOf(const TFmLayout& dialog)
{
    QList<int> result;
    for (int k = 1; k <= 7; ++k)
        result << dialog.slotList(k)->currentIndex();
    return result;
}

QString hex(const QByteArray& bytes)
{
    return QStringLiteral("X'%1'").arg(QString::fromLatin1(bytes.toHex()));
}

// A label unlike the design in every font attribute, for streams that stop part way.
LabelProperties customLabel()
{
    LabelProperties label;
    label.font.name = QStringLiteral("Times New Roman");
    label.font.height = -19;
    label.font.color = 0x0000FF;
    label.font.charset = 0;
    label.font.style = cards::LabelFont::Style::Bold;
    return label;
}

} // namespace

class LayoutSettingsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void starterSettingsLoadIntoTheControls()
    {
        LayoutFixture f;
        const auto dialog = f.open();
        const QStringList items {"NOT USED", "English Name", "Chinese Name", "Staff Number", "Post",
                                 "Group",    "Date Joined",  "Expiry Date",  "Remark"};
        for (int k = 1; k <= 7; ++k) {
            QStringList shown;
            for (int i = 0; i < dialog->slotList(k)->count(); ++i)
                shown << dialog->slotList(k)->itemText(i);
            QCOMPARE(shown, items);
        }
        QCOMPARE(choicesOf(*dialog), (QList<int> {1, 2, 3, 4, 5, 7, 0}));
        QCOMPARE(captionsOf(*dialog),
                 (QStringList {"Name", "Chinese", "Staff No", "Post", "Dept", "Expiry", ""}));
        QVERIFY(dialog->cbBack->isChecked());
        QVERIFY(dialog->rbFmt1->isChecked());
        QVERIFY(!dialog->cbCustom->isChecked());
        QVERIFY(dialog->gbOptions->isHidden());
        QVERIFY(dialog->gbText->isHidden());
        QVERIFY(dialog->cbLines->isChecked());
        QVERIFY(dialog->cbCaptions->isChecked());
        QCOMPARE(dialog->sePos->value(), 45);
        QCOMPARE(dialog->lbFont->properties(), LabelProperties {});
        QCOMPARE(dialog->lbFont->font().family(), QStringLiteral("Arial"));
        QCOMPARE(dialog->lbFont->font().pointSize(), 10);
        QCOMPARE(dialog->lbFont->color(), QColor(Qt::black));
        // No stored background: the blank picture, with its size as the hint.
        QCOMPARE(dialog->imgBack->picture().width(), 120);
        QCOMPARE(dialog->imgBack->picture().height(), 160);
        QCOMPARE(dialog->imgBack->toolTip(), QStringLiteral("120 x 160"));
        QCOMPARE(dialog->PageControl1->currentIndex(), 0);
    }

    void storedValuesShowWithinTheirLimits_data()
    {
        QTest::addColumn<QString>("update");
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("frameWidth");
        QTest::addColumn<int>("position");
        QTest::addColumn<bool>("boxesShown");
        QTest::newRow("style 2") << "style = 1" << 1 << 324 << 45 << false;
        QTest::newRow("style 3") << "style = 2" << 2 << 125 << 45 << false;
        QTest::newRow("unknown style") << "style = 7" << 0 << 324 << 45 << false;
        QTest::newRow("negative style") << "style = -1" << 0 << 324 << 45 << false;
        QTest::newRow("position past the card") << "position = 100" << 0 << 324 << 86 << false;
        QTest::newRow("fractional position") << "position = 12.7" << 0 << 324 << 12 << false;
        QTest::newRow("negative position") << "position = -0.5" << 0 << 324 << 0 << false;
        QTest::newRow("huge position") << "position = 1e300" << 0 << 324 << 86 << false;
        QTest::newRow("custom options") << "custom = 1" << 0 << 324 << 45 << true;
    }
    void storedValuesShowWithinTheirLimits()
    {
        QFETCH(QString, update);
        QFETCH(int, style);
        QFETCH(int, frameWidth);
        QFETCH(int, position);
        QFETCH(bool, boxesShown);
        LayoutFixture f(QStringLiteral("update param set ") + update);
        const auto dialog = f.open();
        const QRadioButton* buttons[] = {dialog->rbFmt1, dialog->rbFmt2, dialog->rbFmt3};
        QVERIFY(buttons[style]->isChecked());
        QCOMPARE(dialog->pBack->size(), QSize(frameWidth, 204));
        QCOMPARE(dialog->sePos->value(), position);
        QCOMPARE(!dialog->gbOptions->isHidden(), boxesShown);
        QCOMPARE(!dialog->gbText->isHidden(), boxesShown);
    }

    // What the dialog shows is what it stores: style 7 as 0, 12.7 as 12.
    void unusableStoredValuesAreSavedAsShown()
    {
        LayoutFixture f(QStringLiteral("update param set style = 7, position = 12.7"));
        const auto dialog = f.open();
        dialog->bSave->click();
        QCOMPARE(f.param("style").toInt(), 0);
        QCOMPARE(f.param("position").toDouble(), 12.0);
        QCOMPARE(f.answers.texts(), QStringList {"Settings are saved."});
    }

    void nullSettingStopsLoadingWithAClearMessage_data()
    {
        QTest::addColumn<QString>("update");
        QTest::addColumn<QString>("message");
        const QString text = "param.%1: Could not convert variant of type (Null) into type (%2)";
        QTest::newRow("slot") << "update param set f4 = null" << text.arg("f4", "Integer");
        QTest::newRow("print background")
            << "update param set printback = null" << text.arg("printback", "Boolean");
        QTest::newRow("style") << "update param set style = null" << text.arg("style", "Integer");
        QTest::newRow("custom") << "update param set custom = null"
                                << text.arg("custom", "Boolean");
        QTest::newRow("lines") << "update param set lines = null" << text.arg("lines", "Boolean");
        QTest::newRow("captions") << "update param set captions = null"
                                  << text.arg("captions", "Boolean");
        QTest::newRow("position") << "update param set position = null"
                                  << text.arg("position", "Double");
        QTest::newRow("display name")
            << "update fields set dname = null where seq = 2"
            << "Could not convert variant of type (Null) into type (String)";
        QTest::newRow("no settings row") << "delete from param"
                                         << "param.f1: param: Either BOF or EOF is True, or the "
                                            "current record has been deleted.";
    }
    void nullSettingStopsLoadingWithAClearMessage()
    {
        QFETCH(QString, update);
        QFETCH(QString, message);
        LayoutFixture f(update);
        QWidget owner;
        data::guarded([&] { cards::actLayoutExecute(&owner, f.dsrc); });
        QCOMPARE(f.answers.texts(), QStringList {message});
        QCOMPARE(f.answers.shown().front().title, QStringLiteral("Melbrin"));
        QVERIFY(owner.findChildren<TFmLayout*>().isEmpty());
    }

    // Empty background and font columns are no fault: the blank picture, the design font.
    void fontColumnAppliesWhatItCanRead_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QByteArray>("shown"); // the label's stream after loading

        const QByteArray design = LabelStream::write(LabelProperties {});
        const QByteArray custom = LabelStream::write(customLabel());
        QTest::newRow("null") << QByteArray() << design;
        QTest::newRow("whole stream") << custom << custom;

        // Cut just before the face name: charset, colour and height are in, the rest is not.
        LabelProperties partly;
        partly.font.charset = 0;
        partly.font.color = 0x0000FF;
        partly.font.height = -19;
        QTest::newRow("truncated") << custom.left(custom.indexOf("\x09"
                                                                 "Font.Name"))
                                   << LabelStream::write(partly);
        QTest::newRow("signature only") << QByteArray("TPF0") << design;
        QTest::newRow("foreign signature") << QByteArray("TPF1").append(custom.mid(4)) << design;

        // Another class's stream: its class name is ignored, its first records are label
        // properties too, and its first property that a label lacks ends the reading.
        const auto shortString
            = [](const char* text) { return char(qstrlen(text)) + QByteArray(text); };
        const QByteArray button = "TPF0" + shortString("TButton") + shortString("Button1")
            + shortString("Left") + QByteArray("\x02\x05", 2) + shortString("Top")
            + QByteArray("\x02\x07", 2) + shortString("Default") + QByteArray("\x09\0\0", 3);
        LabelProperties moved;
        moved.left = 5;
        moved.top = 7;
        QTest::newRow("another class") << button << LabelStream::write(moved);

        QByteArray noise(300, '\0');
        quint32 seed = 12345;
        for (char& c : noise) {
            seed = seed * 1103515245u + 12345u;
            c = char(seed >> 24);
        }
        QTest::newRow("random bytes") << noise << design;
        QTest::newRow("random after the signature") << QByteArray("TPF0").append(noise) << design;
    }
    void fontColumnAppliesWhatItCanRead()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QByteArray, shown);
        LayoutFixture f(QStringLiteral("update param set font = %1")
                            .arg(stored.isNull() ? QStringLiteral("null") : hex(stored)));
        const auto dialog = f.open();
        QCOMPARE(LabelStream::write(dialog->lbFont->properties()).toHex(), shown.toHex());
        QCOMPARE(dialog->lbFont->geometry(),
                 QRect(dialog->lbFont->properties().left, dialog->lbFont->properties().top,
                       dialog->lbFont->properties().width, dialog->lbFont->properties().height));
    }

    void designFontIsStoredAsTheDesignStream()
    {
        LayoutFixture f;
        const auto dialog = f.open();
        dialog->bSave->click();
        const QByteArray stored = f.param("font").toByteArray();
        QCOMPARE(stored.size(), 223);
        QCOMPARE(stored, LabelStream::write(LabelProperties {}));
    }

    // Every control reaches its column, hidden custom options included, and a new dialog
    // shows them again.
    void saveStoresEveryControlAndReloads()
    {
        LayoutFixture f(QStringLiteral("update param set font = %1")
                            .arg(hex(LabelStream::write(customLabel()))));
        {
            const auto dialog = f.open();
            dialog->cbBack->setChecked(false);
            dialog->cbLines->setChecked(false);
            dialog->cbCaptions->setChecked(false);
            dialog->sePos->setValue(30);
            dialog->rbFmt3->setChecked(true);
            dialog->slotList(1)->setCurrentIndex(8);
            imaging::Picture background(64, 40);
            background.fill(qRgb(0, 0, 255));
            dialog->imgBack->setPicture(background);
            QVERIFY(dialog->gbOptions->isHidden());
            dialog->bSave->click();
            QCOMPARE(f.answers.texts(), QStringList {"Settings are saved."});
            QCOMPARE(f.answers.shown().front().icon, data::MessageIcon::Information);
        }
        QCOMPARE(f.param("printback").toInt(), 0);
        QCOMPARE(f.param("lines").toInt(), 0);
        QCOMPARE(f.param("captions").toInt(), 0);
        QCOMPARE(f.param("custom").toInt(), 0);
        QCOMPARE(f.param("position").toDouble(), 30.0);
        QCOMPARE(f.param("style").toInt(), 2);
        QCOMPARE(f.param("f1").toInt(), 8);
        QCOMPARE(f.caption(8), QStringLiteral("Name")); // the slot's caption went with it
        QCOMPARE(f.param("font").toByteArray(), LabelStream::write(customLabel()));

        const auto again = f.open();
        QVERIFY(!again->cbBack->isChecked());
        QVERIFY(!again->cbLines->isChecked());
        QVERIFY(again->rbFmt3->isChecked());
        QCOMPARE(again->sePos->value(), 30);
        QCOMPARE(choicesOf(*again), (QList<int> {8, 2, 3, 4, 5, 7, 0}));
        QCOMPARE(again->imgBack->picture().width(), 64);
        QCOMPARE(again->imgBack->toolTip(), QStringLiteral("64 x 40"));
        QCOMPARE(again->lbFont->properties(), customLabel());
    }

    // Off without the setting; clicked on the Custom Options tab (custom options off, so the
    // box does not hang on them), previews see it unsaved and Save stores it in the database.
    void shrinkTextIsClickedAndStoredInTheDatabase()
    {
        LayoutFixture f;
        const auto setting = [&] {
            return f.db.scalar(QStringLiteral("select value from settings where key = "
                                              "'card.shrinktext'"));
        };
        QVERIFY(setting().isNull());
        {
            const auto dialog = f.open();
            dialog->show();
            QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
            QVERIFY(!dialog->cbShrink->isChecked());
            QVERIFY(!dialog->options().shrinkText);
            QTabBar* tabs = dialog->PageControl1->tabBar();
            QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(3).center());
            QCOMPARE(dialog->PageControl1->currentWidget(), dialog->TabSheet4);
            QVERIFY(dialog->cbShrink->isVisible());
            QVERIFY(!dialog->cbCustom->isChecked());
            QTest::mouseClick(dialog->cbShrink, Qt::LeftButton, {},
                              QPoint(8, dialog->cbShrink->height() / 2));
            QVERIFY(dialog->cbShrink->isChecked());
            QVERIFY(dialog->options().shrinkText);
            QVERIFY(setting().isNull());
            QTest::mouseClick(dialog->bSave, Qt::LeftButton, {}, dialog->bSave->rect().center());
            QCOMPARE(f.answers.texts(), QStringList {"Settings are saved."});
        }
        QCOMPARE(setting().toString(), QStringLiteral("on"));
        {
            const auto again = f.open();
            QVERIFY(again->cbShrink->isChecked());
            QVERIFY(again->options().shrinkText);
            again->show();
            QVERIFY(QTest::qWaitForWindowExposed(again.get()));
            again->PageControl1->setCurrentIndex(3);
            QTest::mouseClick(again->cbShrink, Qt::LeftButton, {},
                              QPoint(8, again->cbShrink->height() / 2));
            QTest::mouseClick(again->bSave, Qt::LeftButton, {}, again->bSave->rect().center());
        }
        QCOMPARE(setting().toString(), QStringLiteral("off"));
        QVERIFY(!f.open()->cbShrink->isChecked());
    }

    // Slots 2 and 5 share a field: the caption belongs to the field, the later slot's wins.
    void slotsSharingAFieldShareItsCaption()
    {
        LayoutFixture f;
        const auto dialog = f.open();
        dialog->slotList(2)->setCurrentIndex(3);
        dialog->slotList(5)->setCurrentIndex(3);
        dialog->captionButton(2)->setText(QStringLiteral("A"));
        dialog->captionButton(5)->setText(QStringLiteral("B"));
        dialog->bSave->click();
        QCOMPARE(f.caption(3), QStringLiteral("B"));
        QCOMPARE(dialog->captionButton(2)->text(), QStringLiteral("B"));
        QCOMPARE(dialog->captionButton(5)->text(), QStringLiteral("B"));
    }

    void emptyCaptionTakesTheDisplayNameAndUnusedSlotDropsItsCaption()
    {
        LayoutFixture f;
        const auto dialog = f.open();
        f.answers.enter(QString());
        dialog->captionButton(2)->click(); // renamed to nothing
        dialog->captionButton(7)->setText(QStringLiteral("Ghost")); // slot 7 is not used
        dialog->bSave->click();
        QCOMPARE(f.caption(2), QStringLiteral("Chinese Name"));
        QCOMPARE(dialog->captionButton(2)->text(), QStringLiteral("Chinese Name"));
        QCOMPARE(dialog->captionButton(7)->text(), QString());
        QCOMPARE(f.db.scalar("select count(*) from fields where uname = 'Ghost'").toInt(), 0);
        QCOMPARE(f.param("f7").toInt(), 0);
    }

    // A stored choice beyond the list selects nothing and shows the caption of the row the
    // slot before it found; saving stores "nothing selected" and no caption.
    void choiceBeyondTheFieldsSelectsNothing()
    {
        LayoutFixture f(QStringLiteral("update param set f2 = 20"));
        const auto dialog = f.open();
        QCOMPARE(dialog->slotList(2)->currentIndex(), -1);
        QCOMPARE(dialog->captionButton(2)->text(), QStringLiteral("Name"));
        dialog->bSave->click();
        QCOMPARE(f.param("f2").toInt(), -1);
        QCOMPARE(dialog->captionButton(2)->text(), QString());
        QCOMPARE(f.caption(1), QStringLiteral("Name"));
    }

    // A listed field whose row is gone: the slot shows, and saves into, the row that is
    // current, here the one slot 2 found.
    void choiceWithNoFieldsRowUsesTheCurrentRow()
    {
        LayoutFixture f(QStringLiteral("delete from fields where seq = 3"));
        const auto dialog = f.open();
        QCOMPARE(dialog->slotList(3)->currentText(), QStringLiteral("Post"));
        QCOMPARE(dialog->captionButton(3)->text(), QStringLiteral("Chinese"));
        dialog->captionButton(3)->setText(QStringLiteral("Third"));
        dialog->bSave->click();
        QCOMPARE(f.caption(2), QStringLiteral("Third"));
        QVERIFY(f.answers.texts().contains("Settings are saved."));
    }

    // Save runs in a fixed order; a refused write ends it there, shown by the general error
    // handler, with no confirmation and no reloading of the captions.
    void refusedWriteEndsSavingWhereItHappens_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<int>("printback"); // stored after the failure
        QTest::addColumn<QString>("caption1");
        QTest::addColumn<int>("f2");
        QTest::newRow("settings row") << "before update on param" << 1 << "Name" << 2;
        QTest::newRow("slot 1 caption") << "before update on fields" << 0 << "Name" << 2;
        QTest::newRow("slot 2 choice")
            << "before update of f2 on param when new.f2 <> old.f2" << 0 << "First" << 2;
    }
    void refusedWriteEndsSavingWhereItHappens()
    {
        QFETCH(QString, trigger);
        QFETCH(int, printback);
        QFETCH(QString, caption1);
        QFETCH(int, f2);
        LayoutFixture f(QStringLiteral("create trigger refuse %1 begin select raise(abort, "
                                       "'refused'); end")
                            .arg(trigger));
        const auto dialog = f.open();
        dialog->cbBack->setChecked(false);
        dialog->captionButton(1)->setText(QStringLiteral("First"));
        dialog->slotList(2)->setCurrentIndex(6);
        dialog->captionButton(7)->setText(QStringLiteral("Ghost"));
        dialog->bSave->click();

        QCOMPARE(f.answers.shown().size(), std::size_t(1));
        QCOMPARE(f.answers.shown().front().icon, data::MessageIcon::Error);
        QVERIFY2(f.answers.texts().front().contains("refused"),
                 qPrintable(f.answers.texts().front()));
        QCOMPARE(f.param("printback").toInt(), printback);
        QCOMPARE(f.caption(1), caption1);
        QCOMPARE(f.param("f2").toInt(), f2);
        QCOMPARE(f.caption(6), QStringLiteral("Joined"));
        QCOMPARE(dialog->captionButton(7)->text(), QStringLiteral("Ghost")); // not reloaded
    }
};

QTEST_MAIN(LayoutSettingsTest)
#include "LayoutSettingsTest.moc"
