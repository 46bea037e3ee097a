// The watermark check box of the Card Style tab: loaded from and stored in the database's
// settings, and what the cards print with it; the one notice when the file cannot keep them.
#include "LayoutFixture.h"
#include "report/PdfWriter.h"

#include <QCheckBox>
#include <QProcess>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

using cards::TFmLayout;

namespace {

void click(QWidget* widget, QPoint at)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
}

void click(QWidget* widget)
{
    click(widget, widget->rect().center());
}

// What pdftotext reads from the cards that the dialog's Preview prints for every member.
QString previewText(LayoutFixture& f, TFmLayout& dialog, const QString& pdf)
{
    f.answers.onPreview
        = [&](const data::Answers::Render& render) { report::writePdf(pdf, render); };
    click(dialog.Button1);
    f.answers.onPreview = nullptr;
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class WatermarkChoiceTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Absent, the box is checked and the cards carry "SAMPLE" and the maker's address;
    // unchecked by a click and saved, the setting reads "off", the box comes back unchecked
    // and the cards carry neither, also before saving.
    void boxFollowsTheSettingAndDrivesTheCards()
    {
        LayoutFixture f;
        addMember(f.db, 0, QStringLiteral("Ada Lovelace"));
        const QString pdf = f.db.dir() + QStringLiteral("/cards.pdf");
        {
            const auto dialog = f.open();
            dialog->show();
            QTabBar* tabs = dialog->PageControl1->tabBar();
            click(tabs, tabs->tabRect(2).center());
            QCOMPARE(dialog->PageControl1->currentWidget(), dialog->TabSheet3);
            QVERIFY(dialog->cbWatermark->isVisible());
            QCOMPARE(dialog->cbWatermark->text(), QStringLiteral("Print SAMPLE watermark"));
            QVERIFY(dialog->cbWatermark->isChecked());
            const QString marked = previewText(f, *dialog, pdf);
            QVERIFY2(marked.contains("SAMPLE"), qPrintable(marked));
            QVERIFY(marked.contains("www.tavrik.example.com"));
            QVERIFY(marked.contains("Ada Lovelace"));

            click(dialog->cbWatermark, {8, dialog->cbWatermark->height() / 2});
            QVERIFY(!dialog->cbWatermark->isChecked());
            const QString plain = previewText(f, *dialog, pdf);
            QVERIFY(plain.contains("Ada Lovelace"));
            QVERIFY2(!plain.contains("SAMPLE"), qPrintable(plain));
            QVERIFY(!plain.contains("tavrik"));
            QCOMPARE(f.db.scalar("select count(*) from settings").toInt(), 0); // not yet saved

            click(dialog->bSave);
        }
        QCOMPARE(f.db.scalar("select value from settings where key='card.watermark'").toString(),
                 QStringLiteral("off"));
        const auto again = f.open();
        QVERIFY(!again->cbWatermark->isChecked());
        QVERIFY(!again->options().watermark);
        again->cbWatermark->setChecked(true);
        click(again->bSave);
        QCOMPARE(f.db.scalar("select value from settings where key='card.watermark'").toString(),
                 QStringLiteral("on"));
    }

    // A file that could not take the settings table: the dialog tells why, once for the
    // connection however often it opens, and loads the defaults.
    void aFileWithoutSettingsSaysWhyOnce()
    {
        LayoutFixture f;
        f.dsrc.extensionsProblem = QStringLiteral("attempt to write a readonly database");
        {
            const auto first = f.open();
            QVERIFY(first->cbWatermark->isChecked());
        }
        const auto second = f.open();
        QCOMPARE(f.answers.shown().size(), std::size_t(1));
        QCOMPARE(f.answers.shown().front().icon, data::MessageIcon::Information);
        QVERIFY(f.answers.texts().front().contains("attempt to write a readonly database"));
        QVERIFY(f.answers.texts().front().contains("default settings"));
        f.dsrc.connectTo(f.db.path());
        f.dsrc.extensionsProblem = QStringLiteral("disk I/O error");
        const auto third = f.open();
        QCOMPARE(f.answers.shown().size(), std::size_t(2));
    }
};

QTEST_MAIN(WatermarkChoiceTest)
#include "WatermarkChoiceTest.moc"
