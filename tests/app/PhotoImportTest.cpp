// The photos of a folder brought in from the command bar, and the Photo button's choice of
// fit, through the keys and clicks a user gives.
#include "MainWindowFixture.h"
#include "app/PhotoImportDialog.h"
#include "imaging/ImageBox.h"
#include "imaging/Jpeg.h"
#include "imaging/Picture.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <functional>

namespace {

QString fixture(const char* name)
{
    return QStringLiteral(PHOTO_FIXTURES "/") + QLatin1String(name);
}

void staff(TempDatabase& db)
{
    db.exec(QStringLiteral("insert into grptbl (gid, gdesc) values (1, 'Admin')"));
    addMember(db, 1, QStringLiteral("Amy"), {}, QStringLiteral("11"));
    addMember(db, 1, QStringLiteral("Ben"), {}, QStringLiteral("12"));
}

QSize storedSize(const MainWindowFixture& f, const QString& name)
{
    return imaging::jpegSize(
        f.db.scalar(QStringLiteral("select photo from stafftbl where name = '%1'").arg(name))
            .toByteArray());
}

// Answers the options dialog, once it is up, with the keys given.
class DialogKeys
{
public:
    explicit DialogKeys(std::function<void(app::PhotoImportDialog&)> keys)
        : m_keys(std::move(keys))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto* dialog = qobject_cast<app::PhotoImportDialog*>(QApplication::activeModalWidget());
            if (!dialog || answered)
                return;
            answered = true;
            m_keys(*dialog);
            if (QTest::currentTestFailed())
                dialog->reject(); // so that the test ends
        });
        m_timer.start(20);
    }
    bool answered = false;

private:
    std::function<void(app::PhotoImportDialog&)> m_keys;
    QTimer m_timer;
};

} // namespace

class PhotoImportTest : public QObject
{
    Q_OBJECT
private slots:
    void folderFromTheCommandBar()
    {
        MainWindowFixture f(staff);
        QVERIFY(f.showActive());
        QTemporaryDir folder;
        QVERIFY(QFile::copy(fixture("bands-landscape.jpg"), folder.filePath("11.jpg")));
        QVERIFY(QFile::copy(fixture("bands-tall.jpg"), folder.filePath("12.JPG")));
        QVERIFY(QFile::copy(fixture("bands-tall.jpg"), folder.filePath("99.jpg")));

        // Cancelled in the options dialog: nothing happens.
        f.answers.chooseFile(folder.path());
        {
            DialogKeys keys([](app::PhotoImportDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); });
            QTest::keyClick(f.w->windowHandle(), Qt::Key_P, Qt::AltModifier);
            QTRY_VERIFY(keys.answered); // an access key clicks its button a moment later
        }
        QVERIFY(f.answers.allAnswered());
        QCOMPARE(f.answers.lastTitle, QStringLiteral("Import Photos"));
        QVERIFY(f.answers.shown().empty());
        QVERIFY(!storedSize(f, "Amy").isValid());
        QVERIFY(f.showActive());

        // Clicked, with stretch chosen by its access key.
        f.answers.chooseFile(folder.path());
        {
            DialogKeys keys([](app::PhotoImportDialog& d) {
                QVERIFY(d.rbStaffNo->isChecked() && d.rbCrop->isChecked());
                QTest::keyClick(&d, Qt::Key_T, Qt::AltModifier);
                QTRY_VERIFY(d.rbStretch->isChecked());
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            });
            auto* button = f.w->ActionToolBar1->widgetForAction(f.w->actImportPhotos);
            QCOMPARE(qobject_cast<QAbstractButton*>(button)->text(),
                     QStringLiteral("Import &Photos"));
            QTest::mouseClick(button, Qt::LeftButton);
            QVERIFY(keys.answered);
        }
        QCOMPARE(
            f.answers.texts(),
            QStringList {QStringLiteral("2 photos stored.\n1 file matched no member: 99.jpg.")});
        QCOMPARE(storedSize(f, "Amy"), QSize(400, 300));
        QCOMPARE(storedSize(f, "Ben"), QSize(100, 1000));
        // The list is read again: the member shown has the new photo.
        QCOMPARE(f.w->eName->text(), QStringLiteral("Amy"));
        QVERIFY(f.w->imgPhoto->picture().width() > f.w->imgPhoto->picture().height());

        // Again with the defaults, staff no and crop.
        f.answers.clear();
        QVERIFY(f.showActive());
        f.answers.chooseFile(folder.path());
        {
            DialogKeys keys([](app::PhotoImportDialog& d) { QTest::keyClick(&d, Qt::Key_Return); });
            QTest::keyClick(f.w->windowHandle(), Qt::Key_P, Qt::AltModifier);
            QTRY_VERIFY(keys.answered);
        }
        QCOMPARE(storedSize(f, "Amy"), QSize(225, 300));
        QCOMPARE(storedSize(f, "Ben"), QSize(100, 133));
        QVERIFY(f.w->imgPhoto->picture().width() < f.w->imgPhoto->picture().height());
    }

    void aFailedWriteIsAnErrorWithItsReason()
    {
        MainWindowFixture f([](TempDatabase& db) {
            staff(db);
            db.exec(QStringLiteral("CREATE TRIGGER full BEFORE UPDATE OF photo ON stafftbl "
                                   "WHEN OLD.name = 'Ben' BEGIN SELECT RAISE(ABORT, 'disk full'); "
                                   "END"));
        });
        QVERIFY(f.showActive());
        QTemporaryDir folder;
        QVERIFY(QFile::copy(fixture("bands-tall.jpg"), folder.filePath("11.jpg")));
        QVERIFY(QFile::copy(fixture("bands-tall.jpg"), folder.filePath("12.jpg")));
        f.answers.chooseFile(folder.path());
        DialogKeys keys([](app::PhotoImportDialog& d) { QTest::keyClick(&d, Qt::Key_Return); });
        QTest::mouseClick(f.w->ActionToolBar1->widgetForAction(f.w->actImportPhotos),
                          Qt::LeftButton);
        QVERIFY(keys.answered);
        QCOMPARE(f.answers.shown().size(), std::size_t(1));
        const ScriptedAnswers::Shown& shown = f.answers.shown().front();
        QCOMPARE(shown.icon, data::MessageIcon::Error);
        QVERIFY2(shown.reason.contains(QStringLiteral("disk full")), qPrintable(shown.reason));
        QVERIFY2(shown.text.contains(QStringLiteral("0 photos had been stored before.")),
                 qPrintable(shown.text));
        QVERIFY(!storedSize(f, "Amy").isValid());
    }

    void photoButtonStretchesUntilCropIsChosen()
    {
        MainWindowFixture f(staff);
        QVERIFY(f.showActive());
        QVERIFY(!f.w->cbPhotoCrop->isChecked());
        f.answers.chooseFile(fixture("bands-tall.jpg"));
        QTest::mouseClick(f.w->bPhoto, Qt::LeftButton);
        QCOMPARE(f.w->imgPhoto->picture().height(), 1000);

        QTest::mouseClick(f.w->cbPhotoCrop, Qt::LeftButton);
        QVERIFY(f.w->cbPhotoCrop->isChecked());
        f.answers.chooseFile(fixture("bands-landscape.jpg"));
        QTest::mouseClick(f.w->bPhoto, Qt::LeftButton);
        const imaging::Picture& shown = f.w->imgPhoto->picture();
        QCOMPARE(QSize(shown.width(), shown.height()), QSize(225, 300));
        QCOMPARE(qGreen(shown.pixel(2, 150)) > 200 && qRed(shown.pixel(2, 150)) < 60, true);
        f.answers.confirmWith(true); // overwrite Amy
        QTest::mouseClick(f.w->bSave, Qt::LeftButton);
        QCOMPARE(storedSize(f, "Amy"), QSize(225, 300));

        // Remembered: the next window starts with crop.
        const QSettings s(QStringLiteral("Tavrik"), QStringLiteral("Melbrin"));
        QCOMPARE(s.value(QStringLiteral("PhotoCrop")).toString(), QStringLiteral("1"));
        f.w.reset();
        data::Tdsrc dsrc;
        app::TMelbrin again(dsrc, f.db.path());
        QVERIFY(again.cbPhotoCrop->isChecked());
    }
};

QTEST_MAIN(PhotoImportTest)
#include "PhotoImportTest.moc"
