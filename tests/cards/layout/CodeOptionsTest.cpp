// The layout dialog's code element controls, driven with keys and clicks: the default place
// follows the style and kind until the user places the code, Save stores the element in the
// database's settings, and a code off the card is refused on Save and Preview.
#include "LayoutFixture.h"
#include "cards/layout/CodeOptionsBox.h"
#include "cards/print/CardCode.h"

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

using cards::CodeElement;
using cards::CodeOptionsBox;
using Kind = CodeElement::Kind;

namespace {

void showCustomOptions(cards::TFmLayout& dialog)
{
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTabBar* tabs = dialog.PageControl1->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(3).center());
    QCOMPARE(dialog.PageControl1->currentIndex(), 3);
}

// Picks the entry of a list with the arrow keys, as the keyboard user does.
void pick(QComboBox* list, const QString& text)
{
    const int wanted = list->findText(text);
    QVERIFY2(wanted >= 0, qPrintable(text));
    list->setFocus();
    while (list->currentIndex() != wanted)
        QTest::keyClick(list, list->currentIndex() < wanted ? Qt::Key_Down : Qt::Key_Up);
}

// Types a number into a spin box over what it showed, and leaves it.
void type(QDoubleSpinBox* spin, const QString& text)
{
    auto* edit = spin->findChild<QLineEdit*>();
    QVERIFY(edit);
    spin->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Tab);
}

QRectF shown(const CodeOptionsBox& box)
{
    return QRectF(box.left->value(), box.top->value(), box.width->value(), box.height->value());
}

QRectF defaultPlace(int style, Kind kind)
{
    const CodeElement place = cards::defaultCodePlace(style, kind);
    return QRectF(place.x, place.y, place.width, place.height);
}

} // namespace

class CodeOptionsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void defaultPlaceFollowsStyleAndKindUntilPlaced()
    {
        LayoutFixture f;
        const auto dialog = f.open();
        showCustomOptions(*dialog);
        CodeOptionsBox& box = *dialog->gbCode;
        QVERIFY(box.isVisible());
        QCOMPARE(box.kindList->currentText(), QStringLiteral("None"));
        QCOMPARE(box.fieldList->currentText(), QStringLiteral("Staff Number"));
        QVERIFY(!box.left->isEnabled());
        QVERIFY(!box.fieldList->isEnabled());
        QCOMPARE(dialog->options().code.kind, Kind::None);

        pick(box.kindList, QStringLiteral("QR Code"));
        QVERIFY(box.left->isEnabled());
        QCOMPARE(shown(box), defaultPlace(0, Kind::Qr));
        QTest::mouseClick(dialog->rbFmt3, Qt::LeftButton);
        QVERIFY(dialog->rbFmt3->isChecked());
        QCOMPARE(shown(box), defaultPlace(2, Kind::Qr));
        QVERIFY(!dialog->options().code.placed);

        type(box.left, QStringLiteral("30"));
        QTest::mouseClick(dialog->rbFmt1, Qt::LeftButton);
        QCOMPARE(box.left->value(), 30.0);
        const CodeElement placed = dialog->options().code;
        QVERIFY(placed.placed);
        QCOMPARE(placed.x, 30.0);
        QCOMPARE(placed.y, defaultPlace(2, Kind::Qr).y());

        QTest::mouseClick(box.defaultPlace, Qt::LeftButton);
        QCOMPARE(shown(box), defaultPlace(0, Kind::Qr));
        QVERIFY(!dialog->options().code.placed);
        pick(box.kindList, QStringLiteral("Code 128"));
        QCOMPARE(shown(box), defaultPlace(0, Kind::Code128));
    }

    void saveStoresTheElementAndTheDialogLoadsItAgain()
    {
        LayoutFixture f;
        {
            const auto dialog = f.open();
            showCustomOptions(*dialog);
            CodeOptionsBox& box = *dialog->gbCode;
            QCOMPARE(box.fieldList->count(), 8); // every field the fields table lists
            pick(box.kindList, QStringLiteral("Code 128"));
            pick(box.fieldList, QStringLiteral("Post"));
            type(box.left, QStringLiteral("40"));
            type(box.top, QStringLiteral("3.5"));
            type(box.width, QStringLiteral("44"));
            type(box.height, QStringLiteral("9"));
            QTest::mouseClick(dialog->bSave, Qt::LeftButton);
            QCOMPARE(f.answers.texts(), QStringList {QStringLiteral("Settings are saved.")});
        }
        const auto stored = [&](const char* key) {
            return f.db
                .scalar(QStringLiteral("select value from settings where key='%1'")
                            .arg(QLatin1String(key)))
                .toString();
        };
        QCOMPARE(stored("card.code.kind"), QStringLiteral("code128"));
        QCOMPARE(stored("card.code.field"), QStringLiteral("post"));
        QCOMPARE(stored("card.code.x"), QStringLiteral("40.0"));
        QCOMPARE(stored("card.code.y"), QStringLiteral("3.5"));
        QCOMPARE(stored("card.code.width"), QStringLiteral("44.0"));
        QCOMPARE(stored("card.code.height"), QStringLiteral("9.0"));

        const auto again = f.open();
        CodeOptionsBox& box = *again->gbCode;
        QCOMPARE(box.kindList->currentText(), QStringLiteral("Code 128"));
        QCOMPARE(box.fieldList->currentText(), QStringLiteral("Post"));
        QCOMPARE(shown(box), QRectF(40, 3.5, 44, 9));
        // A place the user chose stays when the style changes.
        again->rbFmt2->click();
        QCOMPARE(shown(box), QRectF(40, 3.5, 44, 9));
        const CodeElement code = again->options().code;
        QCOMPARE(code.kind, Kind::Code128);
        QCOMPARE(code.field, QStringLiteral("post"));
        QVERIFY(code.placed);
    }

    // A column the fields table does not list is kept as stored.
    void storedFieldOutsideTheListStays()
    {
        LayoutFixture f(QStringLiteral("insert into settings(key, value) values "
                                       "('card.code.kind', 'qr'), ('card.code.field', 'cardno')"));
        const auto dialog = f.open();
        QCOMPARE(dialog->gbCode->fieldList->currentText(), QStringLiteral("cardno"));
        QCOMPARE(dialog->options().code.field, QStringLiteral("cardno"));
        QCOMPARE(dialog->options().code.kind, Kind::Qr);
    }

    void offTheCardIsRefusedOnSaveAndPreview_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("Save") << "bSave";
        QTest::newRow("Preview") << "Button1";
    }
    void offTheCardIsRefusedOnSaveAndPreview()
    {
        QFETCH(QString, button);
        LayoutFixture f;
        const auto dialog = f.open();
        showCustomOptions(*dialog);
        CodeOptionsBox& box = *dialog->gbCode;
        pick(box.kindList, QStringLiteral("QR Code"));
        type(box.left, QStringLiteral("80"));
        type(box.width, QStringLiteral("20"));
        const QVariant before = f.param("style");
        QTest::mouseClick(dialog->findChild<QPushButton*>(button), Qt::LeftButton);
        const QString shownText = f.answers.texts().join(u'\n');
        QVERIFY2(shownText.contains(QStringLiteral("would fall off the card, which is 85.5 x 54.0 "
                                                   "mm")),
                 qPrintable(shownText));
        QCOMPARE(f.answers.previews, 0);
        QCOMPARE(f.db.scalar(QStringLiteral("select count(*) from settings where key like "
                                            "'card.%'"))
                     .toInt(),
                 0);
        QCOMPARE(f.param("style"), before);
    }
};

QTEST_MAIN(CodeOptionsTest)
#include "CodeOptionsTest.moc"
