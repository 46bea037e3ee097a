#include "imaging/LoadPicture.h"

#include "Fixtures.h"
#include "ScriptedAnswers.h"
#include "imaging/ImageBox.h"
#include "imaging/Jpeg.h"

#include <QTemporaryDir>
#include <QtTest>

using imaging::ImageBox;
using imaging::Picture;

class LoadPictureTest : public QObject
{
    Q_OBJECT

    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        fixtures::writeFile(path, bytes);
        return path;
    }

    QTemporaryDir m_dir;
    QByteArray m_jpeg = imaging::encodeJpeg(fixtures::photo(1024, 768));
    QByteArray m_bmp = fixtures::bitmap(fixtures::pattern(30, 20), 24);

private slots:
    void init() { QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("dir.with.dots"))); }

    void extensionDecidesTheReader_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message"); // empty when the file loads
        QTest::addColumn<QSize>("size");
        const QString unknown = QStringLiteral("Unknown file extension.");
        const QString unable = QStringLiteral("Unable to create the new object.");
        const QSize kept(7, 5);
        QTest::newRow("A.BMP") << "A.BMP" << m_bmp << QString() << QSize(30, 20);
        QTest::newRow("a.bmp") << "a.bmp" << m_bmp << QString() << QSize(30, 20);
        QTest::newRow("x.Jpeg") << "x.Jpeg" << m_jpeg << QString() << QSize(1024, 768);
        QTest::newRow("y.jpg") << "y.jpg" << m_jpeg << QString() << QSize(1024, 768);
        QTest::newRow("z.jpe") << "z.jpe" << m_jpeg << unknown << kept;
        QTest::newRow("w.gif") << "w.gif" << QByteArray("GIF89a") << unknown << kept;
        QTest::newRow("no extension") << "dir.with.dots/plain" << m_jpeg << unknown << kept;
        QTest::newRow("text as jpg") << "t.jpg" << QByteArray("text\n") << unable << kept;
        QTest::newRow("jpeg as bmp") << "j.bmp" << m_jpeg << unable << kept;
        // The lower half comes out grey, as in any viewer.
        QTest::newRow("truncated jpg")
            << "c.jpg" << m_jpeg.left(m_jpeg.size() / 2) << QString() << QSize(1024, 768);
        QTest::newRow("empty bmp") << "e.bmp" << QByteArray() << unable << kept;
        QTest::newRow("missing jpg") << "" << QByteArray() << unable << kept;
    }
    void extensionDecidesTheReader()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        QFETCH(QSize, size);
        const QString path
            = name.isEmpty() ? m_dir.filePath(QStringLiteral("gone.jpg")) : write(name, bytes);
        ImageBox image;
        const Picture before = fixtures::pattern(7, 5);
        image.setPicture(before);
        ScriptedAnswers answers;
        answers.chooseFile(path);

        imaging::LoadPictureDialog(nullptr, image, 0, 0);

        QCOMPARE(answers.lastFilter, imaging::pictureFileFilter);
        QCOMPARE(answers.texts(), message.isEmpty() ? QStringList() : QStringList {message});
        QCOMPARE(QSize(image.picture().width(), image.picture().height()), size);
        if (!message.isEmpty())
            QVERIFY(image.picture() == before);
        QCOMPARE(image.toolTip(), QStringLiteral("%1 x %2").arg(size.width()).arg(size.height()));
        QVERIFY(image.hintEnabled());
    }

    void requestedSizeResamples()
    {
        ImageBox image;
        imaging::LoadJpegFile(120, 160, image, write(QStringLiteral("p.jpg"), m_jpeg));
        QCOMPARE(image.picture().width(), 120);
        QCOMPARE(image.picture().height(), 160);
        // Either dimension 0 means the file's own size.
        imaging::LoadBitmapFile(0, 99, image, write(QStringLiteral("p.bmp"), m_bmp));
        QCOMPARE(image.picture().width(), 30);
        QCOMPARE(image.picture().height(), 20);
    }

    void cancelChangesNothing()
    {
        ImageBox image;
        image.setPicture(fixtures::pattern(7, 5));
        image.setToolTip(QStringLiteral("old"));
        ScriptedAnswers answers;
        answers.chooseFile(std::nullopt);
        imaging::LoadPictureDialog(nullptr, image, 0, 0);
        QVERIFY(image.picture() == fixtures::pattern(7, 5));
        QCOMPARE(image.toolTip(), QStringLiteral("old"));
        QVERIFY(!image.hintEnabled());
        QVERIFY(answers.texts().isEmpty());
    }

    void failingDialogShowsCreateErrorOnce()
    {
        ImageBox image;
        ScriptedAnswers answers; // no reply scripted: the dialog itself fails
        imaging::LoadPictureDialog(nullptr, image, 0, 0);
        QCOMPARE(answers.texts(), QStringList {QStringLiteral("Unable to create the new object.")});
    }

    void clearAndHint()
    {
        // Cleared, the image holds no picture (stored as none) and shows white.
        ImageBox image;
        image.resize(40, 50);
        image.setPicture(fixtures::pattern(480, 640));
        imaging::ClearPicture(image);
        QVERIFY(image.picture().isEmpty());
        QVERIFY(!image.stored());
        const QImage shown = image.grab().toImage();
        QCOMPARE(QColor(shown.pixel(0, 0)), QColor(Qt::white));
        QCOMPARE(QColor(shown.pixel(39, 49)), QColor(Qt::white));
        imaging::ShowSizeHint(image);
        QCOMPARE(image.toolTip(), QStringLiteral("No picture"));
        image.setPicture(fixtures::pattern(7, 5));
        imaging::ShowSizeHint(image);
        QCOMPARE(image.toolTip(), QStringLiteral("7 x 5"));
    }
};

QTEST_MAIN(LoadPictureTest)
#include "LoadPictureTest.moc"
