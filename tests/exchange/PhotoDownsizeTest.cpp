#include "exchange/PhotoDownsize.h"

#include "RecordingProgress.h"
#include "ScriptedAnswers.h"
#include "TempDatabase.h"
#include "imaging/Jpeg.h"
#include "imaging/Picture.h"
#include "imaging/Resample.h"

#include <gtest/gtest.h>

namespace {

struct Photo
{
    QString name;
    QByteArray bytes;
    int width; // after the pass; 0 for no picture
    int height;
    bool rewritten;
};

QByteArray jpeg(int width, int height)
{
    imaging::Picture picture(width, height);
    picture.setPixel(0, 0, qRgb(200, 10, 10));
    return imaging::encodeJpeg(picture);
}

// A small JPEG whose header claims another size, which no file of its length can hold.
QByteArray claiming(int width, int height)
{
    QByteArray bytes = jpeg(64, 64);
    const qsizetype sof = bytes.indexOf("\xFF\xC0");
    bytes[sof + 5] = char(height >> 8);
    bytes[sof + 6] = char(height);
    bytes[sof + 7] = char(width >> 8);
    bytes[sof + 8] = char(width);
    return bytes;
}

class PhotoDownsizeTest : public testing::Test
{
protected:
    void SetUp() override
    {
        // In name order, which is the order of the pass.
        photos = {
            {"A wide", jpeg(481, 100), 480, 640, true},
            {"B tall", jpeg(400, 800), 480, 640, true},
            {"C square", jpeg(960, 960), 480, 640, true},
            {"D exact", jpeg(480, 640), 480, 640, false},
            {"E small", jpeg(300, 400), 300, 400, false},
            {"F none", {}, 0, 0, false},
            {"G broken", "not a picture", 0, 0, false},
            {"H camera", jpeg(7100, 7100), 480, 640, true},
            {"I claims too much", claiming(10000, 6000), 0, 0, false},
            {"J damaged small", claiming(300, 400), 0, 0, false},
        };
        for (const Photo& p : photos)
            addMember(db, p.name == u"B tall" ? 5 : 0, p.name, {}, {}, p.bytes);
        db.exec(QStringLiteral("INSERT INTO grptbl (gid, gdesc) VALUES (5, 'Five')"));
        dsrc.connectTo(db.path());
    }
    QByteArray stored(const QString& name)
    {
        data::Query q(dsrc.src, QStringLiteral("photo"));
        q.setSql(QStringLiteral("select * from stafftbl where name = :n"));
        q.setParameter(QStringLiteral("n"), name);
        q.open();
        return q.blob(QStringLiteral("photo"));
    }

    TempDatabase db;
    data::Tdsrc dsrc;
    ScriptedAnswers answers;
    RecordingProgress progress {&answers};
    std::vector<Photo> photos;
};

TEST_F(PhotoDownsizeTest, OversizedPhotosBecome480By640AndOthersKeepTheirBytesTwice)
{
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<QByteArray> before;
        for (const Photo& p : photos)
            before.push_back(stored(p.name));
        answers.clear();
        RecordingProgress progress(&answers);
        const auto skipped = exchange::resizeAllPhotos(dsrc, progress);

        EXPECT_EQ(progress.max, 10);
        EXPECT_EQ(progress.steps, 10);
        EXPECT_EQ(progress.messagesWhenHidden, 0) << "hidden before the notice";
        // Left as stored and named: what cannot be decoded, unless its header shows it small.
        ASSERT_EQ(skipped.size(), 2u);
        EXPECT_EQ(skipped[0].name, QStringLiteral("G broken"));
        EXPECT_TRUE(skipped[0].reason.contains(QStringLiteral("Not a JPEG file")));
        EXPECT_EQ(skipped[1].name, QStringLiteral("I claims too much"));
        EXPECT_TRUE(skipped[1].reason.contains(QStringLiteral("10000 x 6000")));
        ASSERT_EQ(answers.texts().size(), 1);
        EXPECT_EQ(answers.texts().front(), exchange::completedNotice(skipped));
        EXPECT_TRUE(answers.texts().front().startsWith(
            QStringLiteral("Completed.\n2 photos could not be decoded and were left unchanged: "
                           "G broken (Not a JPEG file")));
        EXPECT_EQ(answers.shown().front().icon, data::MessageIcon::None);
        EXPECT_EQ(answers.shown().front().title, QStringLiteral("Melbrin"));
        for (size_t i = 0; i < photos.size(); ++i) {
            const Photo& p = photos[i];
            const QByteArray now = stored(p.name);
            if (pass == 1 || !p.rewritten) {
                EXPECT_EQ(now, before[i]) << qPrintable(p.name) << " pass " << pass;
                continue;
            }
            EXPECT_NE(now, before[i]) << qPrintable(p.name);
            const imaging::Picture picture = imaging::decodeJpeg(now);
            EXPECT_EQ(picture.width(), p.width) << qPrintable(p.name);
            EXPECT_EQ(picture.height(), p.height) << qPrintable(p.name);
        }
        EXPECT_TRUE(stored(QStringLiteral("F none")).isEmpty());
    }
}

TEST(PhotoDownsizeNotice, NamesUpToTwentyAndCountsTheRest)
{
    EXPECT_EQ(exchange::completedNotice({}), QStringLiteral("Completed."));
    EXPECT_EQ(exchange::completedNotice({{"A", "why"}}),
              QStringLiteral("Completed.\n1 photo could not be decoded and was left unchanged: "
                             "A (why)."));
    std::vector<exchange::SkippedPhoto> many(23, {"M", "r"});
    const QString notice = exchange::completedNotice(many);
    EXPECT_TRUE(notice.contains(QStringLiteral("23 photos")));
    EXPECT_EQ(notice.count(QStringLiteral("M (r)")), 20);
    EXPECT_TRUE(notice.endsWith(QStringLiteral(", and 3 more.")));
}

TEST_F(PhotoDownsizeTest, TheMemberListIsOpenedAgainWithItsStatement)
{
    const QString sql = QStringLiteral("select * from stafftbl where gid = :gid order by name");
    dsrc.QStaff.setSql(sql);
    dsrc.QStaff.setParameter(QStringLiteral("gid"), 5);
    dsrc.QStaff.open();
    dsrc.QStaff.moveTo(1);
    exchange::resizeAllPhotos(dsrc, progress);
    EXPECT_TRUE(dsrc.QStaff.isOpen());
    EXPECT_EQ(dsrc.QStaff.sql(), sql);
    ASSERT_EQ(dsrc.QStaff.rowCount(), 1);
    EXPECT_EQ(dsrc.QStaff.currentRow(), 0);
    EXPECT_EQ(dsrc.QStaff.asString(QStringLiteral("name")), QStringLiteral("B tall"));
    EXPECT_FALSE(dsrc.QAllStaff.isOpen());
}

TEST_F(PhotoDownsizeTest, WithNoMembersItCompletesAtOnce)
{
    db.exec(QStringLiteral("DELETE FROM stafftbl"));
    dsrc.connectTo(db.path());
    exchange::resizeAllPhotos(dsrc, progress);
    EXPECT_EQ(progress.max, 0);
    EXPECT_EQ(progress.steps, 0);
    EXPECT_EQ(answers.texts(), QStringList {"Completed."});
    EXPECT_TRUE(exchange::resizeAllPhotos(dsrc, progress).empty());
}

TEST_F(PhotoDownsizeTest, AFailedStoreStopsWithPhotosBeforeItResized)
{
    db.exec(QStringLiteral("CREATE TRIGGER no_c BEFORE UPDATE OF photo ON stafftbl "
                           "WHEN OLD.name = 'C square' BEGIN SELECT RAISE(ABORT, 'full'); END"));
    dsrc.connectTo(db.path());
    const QByteArray square = stored(QStringLiteral("C square"));
    exchange::resizeAllPhotos(dsrc, progress);

    // An error that says why.
    EXPECT_EQ(answers.texts(), QStringList {"Operation Failed."});
    EXPECT_EQ(answers.shown().front().icon, data::MessageIcon::Error);
    EXPECT_EQ(answers.shown().front().reason, QStringLiteral("full"));
    EXPECT_EQ(progress.messagesWhenHidden, 0);
    EXPECT_EQ(progress.steps, 2);
    EXPECT_TRUE(dsrc.QStaff.isOpen());
    EXPECT_FALSE(dsrc.QAllStaff.isOpen());

    // Read back through a connection of its own: the resized photos are committed.
    dsrc.src.close();
    dsrc.connectTo(db.path());
    EXPECT_EQ(imaging::decodeJpeg(stored(QStringLiteral("A wide"))).width(), 480);
    EXPECT_EQ(imaging::decodeJpeg(stored(QStringLiteral("B tall"))).height(), 640);
    EXPECT_EQ(stored(QStringLiteral("C square")), square);
}

} // namespace

// Photos of several sizes one after another, each decoded into the storage the one before it
// used: every stored result is, byte for byte, what decoding, resampling and encoding that
// photo alone gives.
TEST(PhotoDownsizeBatch, EachPhotoGivesTheBytesItGivesAlone)
{
    const auto photo = [](int width, int height, unsigned seed) {
        imaging::Picture picture(width, height);
        for (int y = 0; y < height; ++y) {
            std::uint8_t* row = picture.row(y);
            for (int x = 0; x < width * 3; ++x) {
                seed = seed * 1103515245u + 12345u;
                row[x] = std::uint8_t((x + y) / 4 + (seed >> 27));
            }
        }
        return imaging::encodeJpeg(picture);
    };
    // In name order: large first, then smaller and other shapes, then larger again.
    const std::vector<std::pair<QString, QByteArray>> photos {
        {"A", photo(1200, 1600, 1)}, {"B", photo(700, 900, 2)}, {"C", photo(2000, 500, 3)},
        {"D", photo(300, 400, 4)},   {"E", photo(481, 641, 5)}, {"F", photo(1300, 1700, 6)},
    };
    TempDatabase db;
    for (const auto& [name, bytes] : photos)
        addMember(db, 0, name, {}, {}, bytes);
    ScriptedAnswers answers;
    RecordingProgress progress {&answers};
    data::Tdsrc dsrc;
    dsrc.connectTo(db.path());
    exchange::resizeAllPhotos(dsrc, progress);
    ASSERT_EQ(answers.texts(), QStringList {"Completed."});

    data::Query q(dsrc.src, QStringLiteral("check"));
    q.setSql(QStringLiteral("select * from stafftbl order by name"));
    q.open();
    for (const auto& [name, bytes] : photos) {
        ASSERT_FALSE(q.eof());
        imaging::Picture alone;
        if (name != u"D") {
            imaging::ResizeInto(imaging::decodeJpeg(bytes), alone, exchange::photoWidth,
                                exchange::photoHeight);
        }
        EXPECT_EQ(q.blob(QStringLiteral("photo")),
                  name == u"D" ? bytes : imaging::encodeJpeg(alone))
            << qPrintable(name);
        // A rewritten card is to be printed again.
        EXPECT_EQ(q.isNull(QStringLiteral("changedutc")), name == u"D") << qPrintable(name);
        q.next();
    }
}
