// The print preview window: modal, the caller waits until it closes; navigation, zoom
// and saving as PDF.

#include "TempDatabase.h"
#include "cards/print/PrintPreviewWindow.h"
#include "data/Connection.h"
#include "data/Error.h"

#include <QAction>
#include <QApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

// Three pages, each showing its number.
void threePages(QPagedPaintDevice* device)
{
    QPainter painter(device);
    for (int page = 1; page <= 3; ++page) {
        if (page > 1)
            device->newPage();
        painter.drawText(QPointF(100, 100), QStringLiteral("Page %1").arg(page));
    }
}

cards::PrintPreviewWindow* openWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<cards::PrintPreviewWindow*>(widget);
            window && window->isVisible())
            return window;
    }
    return nullptr;
}

void trigger(QWidget* window, const QString& name)
{
    auto* action = window->findChild<QAction*>(name);
    QVERIFY2(action, qPrintable(name));
    action->trigger();
}

// Pages through the preview, zooms and saves it.
void exercise(cards::PrintPreviewWindow* window, const QString& pdf)
{
    QCOMPARE(window->windowTitle(), QStringLiteral("Print Preview"));
    QCOMPARE(window->windowModality(), Qt::ApplicationModal);
    QPrintPreviewWidget* view = window->view();
    QTRY_COMPARE(view->pageCount(), 3);
    trigger(window, QStringLiteral("Last"));
    QCOMPARE(view->currentPage(), 3);
    trigger(window, QStringLiteral("Previous"));
    QCOMPARE(view->currentPage(), 2);
    trigger(window, QStringLiteral("First"));
    QCOMPARE(view->currentPage(), 1);
    trigger(window, QStringLiteral("Next"));
    QCOMPARE(view->currentPage(), 2);
    trigger(window, QStringLiteral("100 %"));
    QCOMPARE(view->zoomFactor(), 1.0);
    trigger(window, QStringLiteral("Width"));
    QCOMPARE(view->zoomMode(), QPrintPreviewWidget::FitToWidth);
    trigger(window, QStringLiteral("Fit"));
    QCOMPARE(view->zoomMode(), QPrintPreviewWidget::FitInView);
    window->saveAsPdf(pdf);
    if (!qEnvironmentVariableIsEmpty("MELBRIN_KEEP_RENDERS"))
        window->grab().save(qEnvironmentVariable("MELBRIN_KEEP_RENDERS") + "/preview.png");
}

} // namespace

class PreviewWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void waitsUntilClosedAndPagesThrough()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("saved.pdf"));
        bool checked = false;
        QTimer::singleShot(0, [&] {
            cards::PrintPreviewWindow* window = openWindow();
            QVERIFY(window);
            exercise(window, pdf);
            checked = !QTest::currentTestFailed();
            window->close(); // also after a failed check, so the test ends
        });
        cards::showPrintPreview(nullptr, threePages);
        QVERIFY(checked);
        QVERIFY(!openWindow());
        QVERIFY(QFileInfo(pdf).size() > 0);
    }

    // A PDF that cannot be written whole leaves the file it would replace as it was.
    void aFailedSaveKeepsTheEarlierFile()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("saved.pdf"));
        QFile earlier(pdf);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("an earlier PDF");
        earlier.close();
        const auto brokenAfterOnePage = [](QPagedPaintDevice* device) {
            QPainter painter(device);
            painter.drawText(QPointF(100, 100), QStringLiteral("Page 1"));
            device->newPage();
            throw data::Error(QStringLiteral("the report failed"));
        };
        cards::PrintPreviewWindow window(nullptr, brokenAfterOnePage);
        QVERIFY_THROWS_EXCEPTION(data::Error, window.saveAsPdf(pdf));
        QVERIFY(earlier.open(QIODevice::ReadOnly));
        QCOMPARE(earlier.readAll(), QByteArray("an earlier PDF"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList {"saved.pdf"});

        cards::PrintPreviewWindow device(nullptr, threePages);
        try {
            device.saveAsPdf(QStringLiteral("/dev/full"));
            QFAIL("a device was written to");
        } catch (const data::Error& e) {
            QVERIFY2(e.message().contains(QStringLiteral("regular")), qPrintable(e.message()));
        }
    }

    // The window does not know which database the report came from; no open database file,
    // nor its journal, may be chosen as the PDF.
    void anOpenDatabaseIsNeverSavedOver()
    {
        TempDatabase db;
        const QByteArray before = [&] {
            QFile file(db.path());
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();
        data::Connection connection;
        openDatabase(connection, db.path());
        const QString link = db.dir() + QStringLiteral("/link.pdf");
        QVERIFY(QFile::link(db.path(), link));
        cards::PrintPreviewWindow window(nullptr, threePages);
        for (const QString& target : {db.path(), link, db.path() + QStringLiteral("-journal")}) {
            try {
                window.saveAsPdf(target);
                QFAIL(qPrintable(QStringLiteral("saved over ") + target));
            } catch (const data::Error& e) {
                QVERIFY2(e.message().contains(QStringLiteral("database")), qPrintable(e.message()));
            }
        }
        connection.close();
        QFile file(db.path());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
        QVERIFY(!QFile::exists(db.path() + QStringLiteral("-journal")));
    }
};

QTEST_MAIN(PreviewWindowTest)
#include "PreviewWindowTest.moc"
