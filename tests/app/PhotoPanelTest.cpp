// The details panel's photo as the user handles it: a member without a photo has none stored
// (Null), whether the photo was cleared, never loaded, or missing from the start.
#include "MainWindowFixture.h"
#include "imaging/ImageBox.h"
#include "imaging/Jpeg.h"
#include "imaging/Picture.h"

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray jpeg(int width, int height, QRgb colour)
{
    imaging::Picture picture(width, height);
    picture.fill(colour);
    return imaging::encodeJpeg(picture);
}

// What an older version stored for a member saved without a photo.
QByteArray oldBlank()
{
    return jpeg(120, 160, qRgb(255, 255, 255));
}

void staff(TempDatabase& db)
{
    db.exec(QStringLiteral("insert into grptbl (gid, gdesc) values (1, 'Admin')"));
    addMember(db, 1, QStringLiteral("Alice"), {}, {}, jpeg(60, 80, qRgb(200, 20, 20)));
    addMember(db, 1, QStringLiteral("Blank"), {}, {}, oldBlank());
    addMember(db, 1, QStringLiteral("None"));
}

// The photo column of the member of that name, as SQL sees it.
QVariant storedPhoto(const MainWindowFixture& f, const QString& name)
{
    return f.db.scalar(QStringLiteral("select photo from stafftbl where name = '%1'").arg(name));
}

bool isNull(const MainWindowFixture& f, const QString& name)
{
    return f.db
        .scalar(QStringLiteral("select photo is null from stafftbl where name = '%1'").arg(name))
        .toBool();
}

void clickRowOf(MainWindowFixture& f, const QString& name)
{
    const int row = f.listed().indexOf(name);
    QVERIFY(row >= 0);
    const QModelIndex index = f.w->dbgInfo->model()->index(row, 1);
    f.w->dbgInfo->scrollTo(index);
    QTest::mouseClick(f.w->dbgInfo->viewport(), Qt::LeftButton, {},
                      f.w->dbgInfo->visualRect(index).center());
    QCOMPARE(f.w->eName->text(), name);
}

void click(QPushButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

QColor shownAt(imaging::ImageBox& image, QPoint at)
{
    return QColor(image.grab().toImage().pixel(at));
}

} // namespace

class PhotoPanelTest : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::Australia)); }

    void clearedPhotoIsStoredAsNull()
    {
        MainWindowFixture f(staff);
        f.w->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.w.get()));
        clickRowOf(f, QStringLiteral("Alice"));
        const QPoint middle = f.w->imgPhoto->rect().center();
        QVERIFY(shownAt(*f.w->imgPhoto, middle).red() > 150);
        click(f.w->bpClear);
        QVERIFY(f.w->imgPhoto->picture().isEmpty());
        QCOMPARE(shownAt(*f.w->imgPhoto, middle), QColor(Qt::white));
        f.answers.confirmWith(true);
        click(f.w->bSave);
        QCOMPARE(f.answers.questions(), QStringList {QStringLiteral("Overwrite the record?")});
        QVERIFY(f.answers.texts().isEmpty());
        QVERIFY(isNull(f, QStringLiteral("Alice")));
        // Shown again, the member has no photo.
        clickRowOf(f, QStringLiteral("Alice"));
        QVERIFY(f.w->imgPhoto->picture().isEmpty());
        QCOMPARE(f.w->imgPhoto->toolTip(), QStringLiteral("No picture"));
    }

    void newMemberWithoutPhotoIsStoredAsNull()
    {
        MainWindowFixture f(staff);
        f.w->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.w.get()));
        clickRowOf(f, QStringLiteral("Alice")); // a photo in the panel first
        click(f.w->bClear);
        QVERIFY(f.w->imgPhoto->picture().isEmpty());
        QTest::keyClicks(f.w->eName, QStringLiteral("Newcomer"));
        click(f.w->bSave);
        QVERIFY(f.answers.shown().empty());
        QCOMPARE(f.count(QStringLiteral("name = 'Newcomer'")), 1);
        QVERIFY(isNull(f, QStringLiteral("Newcomer")));

        // A photo loaded into the panel is stored; cleared again, none is.
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("p.jpg"));
        QImage picture(30, 20, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        QVERIFY(picture.save(file, "JPEG"));
        QTest::keyClicks(f.w->eName, QStringLiteral("Second"));
        f.answers.chooseFile(file);
        click(f.w->bPhoto);
        click(f.w->bSave);
        QCOMPARE(imaging::jpegSize(storedPhoto(f, QStringLiteral("Second")).toByteArray()),
                 QSize(30, 20));
        clickRowOf(f, QStringLiteral("Second"));
        click(f.w->bpClear);
        f.answers.confirmWith(true);
        click(f.w->bSave);
        QVERIFY(isNull(f, QStringLiteral("Second")));
    }

    // A member stored without a photo shows none, has nothing to rotate and stays without one;
    // a blank photo an older version stored is kept as it is.
    void missingPhotoStaysMissingAndOldBlankPhotosStay()
    {
        MainWindowFixture f(staff);
        f.w->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.w.get()));
        clickRowOf(f, QStringLiteral("Alice"));
        clickRowOf(f, QStringLiteral("None"));
        QVERIFY(f.w->imgPhoto->picture().isEmpty());
        QCOMPARE(shownAt(*f.w->imgPhoto, f.w->imgPhoto->rect().center()), QColor(Qt::white));
        QCOMPARE(f.w->imgPhoto->toolTip(), QStringLiteral("No picture"));
        click(f.w->bRotate);
        QVERIFY(f.answers.shown().empty());
        QVERIFY(f.w->imgPhoto->picture().isEmpty());
        f.answers.confirmWith(true);
        click(f.w->bSave);
        QVERIFY(isNull(f, QStringLiteral("None")));

        clickRowOf(f, QStringLiteral("Blank"));
        QCOMPARE(f.w->imgPhoto->toolTip(), QStringLiteral("120 x 160"));
        f.answers.confirmWith(true);
        click(f.w->bSave);
        QCOMPARE(storedPhoto(f, QStringLiteral("Blank")).toByteArray(), oldBlank());
        QCOMPARE(f.answers.questions().size(), 2);
        QVERIFY(f.answers.texts().isEmpty());
    }
};

QTEST_MAIN(PhotoPanelTest)
#include "PhotoPanelTest.moc"
