// The commands that open the print preview, and what the preview prints.

#include "cards/print/CardCommands.h"

#include "PrintFixture.h"
#include "ScriptedAnswers.h"
#include "cards/print/CheckList.h"
#include "data/Error.h"

#include <QDir>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace printfixture;

namespace {

// Shows the group's members in QStaff, with the named one current.
void selectMember(PrintDatabase& base, int gid, const QString& name)
{
    base.dsrc.QStaff.setSql(QStringLiteral("select * from stafftbl where gid=:gid order by name"));
    base.dsrc.QStaff.setParameter(QStringLiteral("gid"), gid);
    base.dsrc.QStaff.open();
    if (!name.isEmpty()) {
        ASSERT_TRUE(base.dsrc.QStaff.locate(QStringLiteral("name"), name));
    }
}

// The text of a PDF, runs of blanks made one (letters spaced out read as separate words).
QString pdfText(const QString& pdf)
{
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    tool.waitForFinished(30000);
    return QString::fromUtf8(tool.readAllStandardOutput()).simplified();
}

int pdfPages(const QString& pdf)
{
    QProcess tool;
    tool.start(QStringLiteral("pdfinfo"), {pdf});
    tool.waitForFinished(30000);
    const QString info = QString::fromUtf8(tool.readAllStandardOutput());
    const auto match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// While the preview is open: the names of the rows it prints.
QStringList previewedNames(data::Query& rows)
{
    QStringList names;
    for (rows.first(); !rows.eof(); rows.next())
        names << rows.asString(QStringLiteral("name"));
    return names;
}

TEST(SelectedMemberPreview, NamesWithQuotesPreviewLikeAnyOtherAndNamesakesComeToo)
{
    const QString names[] = {QStringLiteral("Dan \"The Man\" O'Neil"),
                             QStringLiteral("x\" or \"1\"=\"1"), QStringLiteral("Plain")};
    for (const QString& name : names) {
        PrintDatabase base;
        base.db.exec(QStringLiteral("insert into grptbl (gid, gdesc) values (4, 'Yard')"));
        base.add(0, name);
        base.add(4, name); // a namesake in another group
        base.add(0, QStringLiteral("Other"));
        selectMember(base, 0, name);

        ScriptedAnswers answers;
        QStringList printed;
        answers.onPreview
            = [&](const data::Answers::Render&) { printed = previewedNames(base.dsrc.QList); };
        cards::previewSelectedMember(nullptr, base.dsrc, PrintDatabase::starterOptions(),
                                     base.fields);
        EXPECT_EQ(answers.previews, 1);
        EXPECT_EQ(printed, (QStringList {name, name})) << name.toStdString();
        EXPECT_FALSE(base.dsrc.QList.isOpen());
    }
}

// A group without members selects nobody: one empty card, the rest of the design on it.
TEST(SelectedMemberPreview, EmptyGroupPrintsOneEmptyCard)
{
    PrintDatabase base;
    base.add(0, QStringLiteral("_"));
    base.add(0, QStringLiteral("Somebody"));
    selectMember(base, 3, {});
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("empty.pdf"));

    ScriptedAnswers answers;
    int rows = -1;
    answers.onPreview = [&](const data::Answers::Render& render) {
        rows = base.dsrc.QList.rowCount();
        QPdfWriter writer(pdf);
        render(&writer);
    };
    cards::previewSelectedMember(nullptr, base.dsrc, PrintDatabase::starterOptions(), base.fields);
    EXPECT_EQ(rows, 0);
    EXPECT_EQ(pdfPages(pdf), 1);
    const QString text = pdfText(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("SAMPLE")));
    EXPECT_TRUE(text.contains(QStringLiteral("Staff No")));
    EXPECT_FALSE(text.contains(QStringLiteral("Somebody")));
}

// A failing preview reaches the caller, and QList is closed all the same.
TEST(SelectedMemberPreview, FailureReachesTheCallerAndClosesTheRows)
{
    PrintDatabase base;
    base.add(0, QStringLiteral("Alice"));
    selectMember(base, 0, QStringLiteral("Alice"));
    ScriptedAnswers answers;
    answers.onPreview
        = [](const data::Answers::Render&) { throw data::Error(QStringLiteral("no printer")); };
    EXPECT_THROW(cards::previewSelectedMember(nullptr, base.dsrc, PrintDatabase::starterOptions(),
                                              base.fields),
                 data::Error);
    EXPECT_FALSE(base.dsrc.QList.isOpen());
}

// End to end: the all-staff cards and the check list written to PDF and read back.
TEST(PrintedPdf, CardsAndCheckListReadBackWithTheirTexts)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    PrintDatabase base;
    for (int i = 1; i <= 12; ++i)
        base.add(0, QStringLiteral("Member %1").arg(i), QStringLiteral("陈大文"),
                 photoBlob(48, 64));
    QTemporaryDir dir;
    const QString cardsPdf = dir.filePath(QStringLiteral("cards.pdf"));
    const QString listPdf = dir.filePath(QStringLiteral("list.pdf"));

    ScriptedAnswers answers;
    QString target = cardsPdf;
    answers.onPreview = [&](const data::Answers::Render& render) {
        QPdfWriter writer(target);
        render(&writer);
    };
    cards::CardOptions options = PrintDatabase::starterOptions();
    options.slotChoices[6] = {6, QStringLiteral("Joined")};
    cards::previewAllStaff(nullptr, base.dsrc, options, base.fields);
    target = listPdf;
    cards::actCheckListExecute(nullptr, base.dsrc);
    ASSERT_EQ(answers.previews, 2);

    EXPECT_EQ(pdfPages(cardsPdf), 2);
    const QString cardsText = pdfText(cardsPdf);
    for (const char* expected : {"Member 12", "陈大文", "5/Mar, 2004", "5/Mar, 2009", "Joined",
                                 "SAMPLE", "www.tavrik.example.com", "DEFAULT"})
        EXPECT_TRUE(cardsText.contains(QString::fromUtf8(expected))) << expected;
    EXPECT_EQ(cardsText.count(QStringLiteral("SAMPLE")), 12);

    EXPECT_EQ(pdfPages(listPdf), 1);
    const QString listText = pdfText(listPdf);
    for (const char* expected :
         {"Member List", "Check List", "Member 7", "5/03/2004", "S-Member 3"})
        EXPECT_TRUE(listText.contains(QString::fromUtf8(expected))) << expected;
}

// Printing a page range draws only those pages; page numbers stay those of the whole list.
TEST(PrintedPdf, PageRangeOfAPrinterPrintsOnlyThosePages)
{
    PrintDatabase base;
    for (int i = 1; i <= 60; ++i)
        base.add(0, QStringLiteral("M%1").arg(i));
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("range.pdf"));
    ScriptedAnswers answers;
    answers.onPreview = [&](const data::Answers::Render& render) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(2, 2);
        render(&printer);
    };
    cards::actCheckListExecute(nullptr, base.dsrc);
    EXPECT_EQ(pdfPages(pdf), 1);
    const QString text = pdfText(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("M40")));
    EXPECT_FALSE(text.contains(QStringLiteral("M10"))); // on page 1
}

} // namespace

// Every style prints end to end. With MELBRIN_KEEP_RENDERS naming a folder, the PDFs are kept
// there for a look.
TEST(PrintedPdf, EveryStyleAndTheCheckListPrint)
{
    PrintDatabase base;
    base.add(0, QStringLiteral("Chan Tai Man"), QStringLiteral("陈大文"),
             photoBlob(48, 64, Qt::darkRed));
    base.add(0, QStringLiteral("Ann Example"), {}, photoBlob(300, 200));
    base.add(0, QStringLiteral("No Photo"));
    QTemporaryDir temp;
    const QString keep = qEnvironmentVariable("MELBRIN_KEEP_RENDERS");
    const QDir dir(keep.isEmpty() ? temp.path() : keep);
    QImage back(400, 250, QImage::Format_RGB888);
    back.fill(QColor(220, 235, 250));
    QPainter(&back).fillRect(0, 0, 400, 40, QColor(40, 90, 160));

    ScriptedAnswers answers;
    QString target;
    answers.onPreview = [&](const data::Answers::Render& render) {
        QPdfWriter writer(target);
        render(&writer);
    };
    for (int style = 0; style < 3; ++style) {
        cards::CardOptions options = PrintDatabase::starterOptions();
        options.style = style;
        options.printBack = true;
        options.background = imaging::Picture::fromImage(back);
        options.slotChoices[6] = {6, QStringLiteral("A caption far too long to fit")};
        target = dir.filePath(QStringLiteral("style%1.pdf").arg(style + 1));
        cards::previewAllStaff(nullptr, base.dsrc, options, base.fields);
        EXPECT_EQ(pdfPages(target), 1);
        EXPECT_EQ(pdfText(target).count(QStringLiteral("SAMPLE")), 3);
    }
    target = dir.filePath(QStringLiteral("checklist.pdf"));
    cards::actCheckListExecute(nullptr, base.dsrc);
    EXPECT_EQ(pdfPages(target), 1);
}
