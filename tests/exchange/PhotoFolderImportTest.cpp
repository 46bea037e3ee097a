#include "exchange/PhotoFolderImport.h"

#include "RecordingProgress.h"
#include "ScriptedAnswers.h"
#include "TempDatabase.h"
#include "data/Error.h"
#include "imaging/Jpeg.h"
#include "imaging/Picture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlcipher/sqlite3.h>

namespace {

using exchange::PhotoMatch;
using imaging::PhotoFit;

QString fixture(const char* name)
{
    return QStringLiteral(FIXTURES_DIR "/photos/") + QLatin1String(name);
}

class PhotoFolderImportTest : public testing::Test
{
protected:
    void SetUp() override
    {
        db.exec(QStringLiteral("INSERT INTO grptbl (gid, gdesc) VALUES (1, 'Sales')"));
        db.exec(QStringLiteral("INSERT INTO grptbl (gid, gdesc) VALUES (2, 'Office')"));
    }
    // A file in the photo folder: a copy of a fixture, or the bytes given.
    void put(const QString& name, const QString& from)
    {
        QDir(folder.path()).mkpath(QFileInfo(name).path());
        ASSERT_TRUE(QFile::copy(from, folder.filePath(name))) << qPrintable(name);
    }
    void write(const QString& name, const QByteArray& bytes)
    {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    exchange::PhotoFolderReport run(PhotoMatch match, PhotoFit fit = PhotoFit::Crop)
    {
        if (!dsrc.src.isOpen())
            dsrc.connectTo(db.path());
        return exchange::importPhotoFolder(dsrc, folder.path(), {match, fit}, progress);
    }
    // The stored photo of the member of that name, decoded; empty for none.
    imaging::Picture photoOf(const QString& name) const
    {
        const QByteArray bytes
            = db.scalar(QStringLiteral("select photo from stafftbl where name = '%1'").arg(name))
                  .toByteArray();
        return bytes.isEmpty() ? imaging::Picture() : imaging::decodeJpeg(bytes);
    }
    bool changed(const QString& name) const
    {
        return !db.scalar(
                      QStringLiteral("select changedutc from stafftbl where name = '%1'").arg(name))
                    .isNull();
    }

    TempDatabase db;
    QTemporaryDir folder;
    data::Tdsrc dsrc;
    ScriptedAnswers answers;
    RecordingProgress progress {&answers};
};

// One folder per way of matching: a file for each case the report tells apart.
struct MatchCase
{
    const char* label;
    PhotoMatch match;
    // File names for Alice, Bob (spaces and letter case), Carol (twice), the shared key of Dan
    // and Dana (in two groups), Eve (an unreadable file), and a file naming nobody.
    QStringList alice, bob, carol, shared, eve, nobody;
};

void PrintTo(const MatchCase& c, std::ostream* os)
{
    *os << c.label;
}

class PhotoFolderMatching : public PhotoFolderImportTest,
                            public testing::WithParamInterface<MatchCase>
{
};

TEST_P(PhotoFolderMatching, StoresOnlyWhatNamesExactlyOneMember)
{
    const MatchCase& c = GetParam();
    addMember(db, 1, QStringLiteral("Alice Wong"), {}, QStringLiteral("1001"));
    addMember(db, 1, QStringLiteral("Bob Lee"), {}, QStringLiteral(" ab-2 "));
    addMember(db, 2, QStringLiteral("Carol"), {}, QStringLiteral("1003"));
    addMember(db, 1, QStringLiteral("Dan"), {}, QStringLiteral("2000"));
    addMember(db, 2, QStringLiteral("dan"), {}, QStringLiteral("2000"));
    addMember(db, 2, QStringLiteral("Eve"), {}, QStringLiteral("1005"));
    addMember(db, 2, QStringLiteral("Nobody"), {}, QString());
    put(c.alice.front(), fixture("bands-landscape.jpg"));
    put(c.bob.front(), fixture("yellow-3x4.bmp"));
    for (const QString& name : c.carol)
        put(name, fixture("bands-tall.jpg"));
    put(c.shared.front(), fixture("bands-tall.jpg"));
    write(c.eve.front(), "not a picture");
    write(c.nobody.front(), "not a picture either: never opened");
    write(QStringLiteral("notes.txt"), "x");
    // Only the folder itself is searched: this would give Alice a second file.
    put(QStringLiteral("older/") + c.alice.front(), fixture("bands-tall.jpg"));

    const exchange::PhotoFolderReport report = run(c.match);

    EXPECT_FALSE(report.failed()) << qPrintable(report.failure);
    EXPECT_EQ(report.stored, 2);
    EXPECT_EQ(report.unmatched, c.nobody);
    ASSERT_EQ(report.several.size(), 1u);
    EXPECT_EQ(report.several[0].member, QStringLiteral("Carol"));
    EXPECT_EQ(report.several[0].files, c.carol);
    ASSERT_EQ(report.unreadable.size(), 1u);
    EXPECT_EQ(report.unreadable[0].file, c.eve.front());
    EXPECT_TRUE(report.unreadable[0].reason.contains(QStringLiteral("Not a JPEG file")))
        << qPrintable(report.unreadable[0].reason);
    ASSERT_EQ(report.ambiguous.size(), 1u);
    EXPECT_EQ(report.ambiguous[0].files, c.shared);
    EXPECT_EQ(report.ambiguous[0].members,
              (QStringList {QStringLiteral("Dan (Sales)"), QStringLiteral("dan (Office)")}));
    EXPECT_EQ(report.otherFiles, 1);
    EXPECT_EQ(progress.max, 3) << "Alice, Bob and Eve's files are read";
    EXPECT_EQ(progress.steps, 3);
    EXPECT_TRUE(progress.hidden);

    EXPECT_EQ(photoOf(QStringLiteral("Alice Wong")).width(), 225);
    EXPECT_EQ(photoOf(QStringLiteral("Bob Lee")).width(), 30);
    for (const char* none : {"Carol", "Dan", "dan", "Eve", "Nobody"}) {
        EXPECT_TRUE(photoOf(QLatin1String(none)).isEmpty()) << none;
        EXPECT_FALSE(changed(QLatin1String(none))) << none;
    }
    EXPECT_TRUE(changed(QStringLiteral("Alice Wong")));
    EXPECT_TRUE(changed(QStringLiteral("Bob Lee")));
}

INSTANTIATE_TEST_SUITE_P(, PhotoFolderMatching,
                         testing::Values(MatchCase {"StaffNo",
                                                    PhotoMatch::StaffNo,
                                                    {"1001.jpg"},
                                                    {" AB-2 .BMP"},
                                                    {"1003.JPEG", "1003.jpg"},
                                                    {"2000.jpg"},
                                                    {"1005.jpg"},
                                                    {"9999.jpg"}},
                                         MatchCase {"Name",
                                                    PhotoMatch::Name,
                                                    {"alice wong.jpg"},
                                                    {"BOB LEE.bmp"},
                                                    {"Carol.jpeg", "carol.JPG"},
                                                    {"DAN.jpg"},
                                                    {"eve.jpg"},
                                                    {"Alice.jpg"}}),
                         [](const testing::TestParamInfo<MatchCase>& info) {
                             return std::string(info.param.label);
                         });

// Pictures of bands whose centre 3:4 part is green: a crop keeps only green, off centre or not
// at all it keeps red or blue.
struct FitCase
{
    const char* label;
    const char* file;
    PhotoFit fit;
    int width, height;
    std::vector<std::pair<QPoint, QRgb>> pixels;
};

void PrintTo(const FitCase& c, std::ostream* os)
{
    *os << c.label;
}

class PhotoFolderFit : public PhotoFolderImportTest, public testing::WithParamInterface<FitCase>
{
};

bool near(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) < 40 && std::abs(qGreen(a) - qGreen(b)) < 40
        && std::abs(qBlue(a) - qBlue(b)) < 40;
}

TEST_P(PhotoFolderFit, StoresTheCentreOrTheWholePicture)
{
    const FitCase& c = GetParam();
    addMember(db, 1, QStringLiteral("Alice"), {}, QStringLiteral("7"));
    put(QStringLiteral("7.") + QFileInfo(fixture(c.file)).suffix(), fixture(c.file));
    ASSERT_EQ(run(PhotoMatch::StaffNo, c.fit).stored, 1);
    const imaging::Picture stored = photoOf(QStringLiteral("Alice"));
    EXPECT_EQ(stored.width(), c.width);
    EXPECT_EQ(stored.height(), c.height);
    for (const auto& [at, colour] : c.pixels) {
        const QRgb seen = stored.pixel(at.x(), at.y());
        EXPECT_TRUE(near(seen, colour)) << at.x() << "," << at.y() << " is " << std::hex << seen;
    }
}

constexpr QRgb red = 0xffff0000, green = 0xff00ff00, blue = 0xff0000ff;

INSTANTIATE_TEST_SUITE_P(
    , PhotoFolderFit,
    testing::Values(FitCase {"LandscapeCropped",
                             "bands-landscape.jpg",
                             PhotoFit::Crop,
                             225,
                             300,
                             {{{2, 150}, green}, {{112, 2}, green}, {{222, 297}, green}}},
                    FitCase {"TallCropped",
                             "bands-tall.jpg",
                             PhotoFit::Crop,
                             100,
                             133,
                             {{{50, 2}, green}, {{2, 66}, green}, {{97, 130}, green}}},
                    FitCase {"LandscapeStretched",
                             "bands-landscape.jpg",
                             PhotoFit::Stretch,
                             400,
                             300,
                             {{{2, 150}, red}, {{200, 150}, green}, {{397, 150}, blue}}},
                    FitCase {"TallStretched",
                             "bands-tall.jpg",
                             PhotoFit::Stretch,
                             100,
                             1000,
                             {{{50, 2}, red}, {{50, 500}, green}, {{50, 997}, blue}}},
                    FitCase {"ThreeByFourKept",
                             "yellow-3x4.bmp",
                             PhotoFit::Crop,
                             30,
                             40,
                             {{{0, 0}, 0xffffff00}, {{29, 39}, 0xffffff00}}}),
    [](const testing::TestParamInfo<FitCase>& info) { return std::string(info.param.label); });

TEST_F(PhotoFolderImportTest, FilesNamingNobodyAreNeverRead)
{
    addMember(db, 1, QStringLiteral("Alice"), {}, QStringLiteral("1"));
    // Thousands of files, none of them a picture: reading any would report it unreadable.
    for (int i = 2; i < 3002; ++i)
        write(QStringLiteral("%1.jpg").arg(i), "x");
    const exchange::PhotoFolderReport report = run(PhotoMatch::StaffNo);
    EXPECT_EQ(report.unmatched.size(), 3000);
    EXPECT_TRUE(report.unreadable.empty());
    EXPECT_EQ(report.stored, 0);
    EXPECT_EQ(progress.max, 0);
}

TEST_F(PhotoFolderImportTest, AMissingFolderIsRefusedByName)
{
    dsrc.connectTo(db.path());
    try {
        exchange::importPhotoFolder(dsrc, folder.filePath(QStringLiteral("gone")), {}, progress);
        FAIL() << "no error";
    } catch (const data::Error& error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("gone")))
            << qPrintable(error.message());
    }
}

// Members 1001 .. 1000+count with a photo file each.
void manyMembers(const TempDatabase& db, QTemporaryDir& folder, int count)
{
    db.exec(QStringLiteral(
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                "INSERT INTO stafftbl (gid, cardno, name, cname, staffno, post, datejoin, expiry,"
                " remark) SELECT 1, 0, 'M' || (1000 + i), '', 1000 + i, '', '', '', '' FROM n")
                .arg(count));
    const QByteArray bytes = imaging::encodeJpeg(imaging::Picture(6, 8));
    for (int i = 1; i <= count; ++i) {
        QFile file(folder.filePath(QStringLiteral("%1.jpg").arg(1000 + i)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
}

int storedPhotos(const TempDatabase& db)
{
    return db.scalar(QStringLiteral("select count(*) from stafftbl where photo is not null"))
        .toInt();
}

TEST_F(PhotoFolderImportTest, CommitsSixtyFourPhotosAtATime)
{
    manyMembers(db, folder, 130);
    dsrc.connectTo(db.path());
    // The rows written by the time of each commit.
    struct Commits
    {
        sqlite3* db;
        std::vector<int> changes;
    } commits {dsrc.src.handle(), {}};
    sqlite3_commit_hook(
        dsrc.src.handle(),
        [](void* seen) {
            auto* c = static_cast<Commits*>(seen);
            c->changes.push_back(sqlite3_total_changes(c->db));
            return 0;
        },
        &commits);
    const int before = sqlite3_total_changes(dsrc.src.handle());
    const exchange::PhotoFolderReport report = run(PhotoMatch::StaffNo);
    sqlite3_commit_hook(dsrc.src.handle(), nullptr, nullptr);
    EXPECT_EQ(report.stored, 130);
    for (int& c : commits.changes)
        c -= before;
    EXPECT_EQ(commits.changes, (std::vector<int> {64, 128, 130}));
    EXPECT_EQ(storedPhotos(db), 130);
}

TEST_F(PhotoFolderImportTest, AFailedWriteRollsBackItsBatchAndKeepsTheOnesBefore)
{
    manyMembers(db, folder, 130);
    // The 100th photo cannot be written: the second batch (65 .. 99) goes, the first stays.
    db.exec(
        QStringLiteral("CREATE TRIGGER full BEFORE UPDATE OF photo ON stafftbl "
                       "WHEN OLD.staffno = '1100' BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
    const exchange::PhotoFolderReport report = run(PhotoMatch::StaffNo);
    EXPECT_TRUE(report.failure.contains(QStringLiteral("disk full"))) << qPrintable(report.failure);
    EXPECT_EQ(report.stored, 64);
    EXPECT_EQ(report.rolledBack, 35);
    EXPECT_EQ(report.notTried, 30);
    EXPECT_FALSE(progress.shown);
    dsrc.src.close();
    EXPECT_EQ(storedPhotos(db), 64);
    EXPECT_EQ(db.scalar(QStringLiteral("select max(staffno) from stafftbl where photo is not null"))
                  .toInt(),
              1064);
    const QString text = exchange::photoFolderReportText(report, 10);
    EXPECT_TRUE(text.startsWith(QStringLiteral(
        "Storing the photos stopped: disk full. The last 35 photos of the batch in progress were "
        "not kept. 30 photos were not tried.\n64 photos had been stored before.")))
        << qPrintable(text);
}

TEST(PhotoFolderReportText, ShortensListsInTheWindowAndListsAllOnTheCommandLine)
{
    exchange::PhotoFolderReport report;
    report.stored = 1;
    for (int i = 0; i < 4990; ++i)
        report.unmatched << QStringLiteral("%1.jpg").arg(i);
    report.several = {{"Carol", {"c.jpg", "c.bmp"}}};
    report.unreadable = {{"e.jpg", "Not a JPEG file"}, {"f.bmp", "Truncated"}};
    report.ambiguous = {{"2000", {"Dan (Sales)", "dan (Office)"}, {"2000.jpg"}}};
    report.otherFiles = 1;

    const QString window = exchange::photoFolderReportText(report, 10);
    EXPECT_EQ(
        window,
        QStringLiteral("1 photo stored.\n"
                       "4,990 files matched no member: 0.jpg, 1.jpg, 2.jpg, 3.jpg, 4.jpg, 5.jpg, "
                       "6.jpg, 7.jpg, 8.jpg, 9.jpg, and 4,980 more.\n"
                       "1 member was matched by several files; nothing was stored for them: Carol "
                       "(c.jpg, c.bmp).\n"
                       "2 files could not be read: e.jpg (Not a JPEG file), f.bmp (Truncated).\n"
                       "1 staff no matches several members; nothing was stored for them: 2000.jpg: "
                       "Dan (Sales), dan (Office).\n"
                       "1 other file is not JPEG or BMP and left alone."));

    const QString all = exchange::photoFolderReportText(report, -1);
    EXPECT_TRUE(all.contains(QStringLiteral("4,990 files matched no member:\n  0.jpg\n  1.jpg\n")));
    EXPECT_TRUE(all.contains(QStringLiteral("\n  4989.jpg\n")));
    EXPECT_FALSE(all.contains(QStringLiteral("more")));
    EXPECT_EQ(all.count(u'\n'), 4990 + 1 + 2 + 1 + 5);

    report = {};
    report.match = PhotoMatch::Name;
    report.ambiguous = {{"Dan", {"Dan (Sales)", "Dan (Office)"}, {"dan.jpg", "DAN.bmp"}}};
    EXPECT_EQ(exchange::photoFolderReportText(report, 10),
              QStringLiteral("0 photos stored.\n1 name matches several members; nothing was "
                             "stored for them: dan.jpg, DAN.bmp: Dan (Sales), Dan (Office)."));
}

} // namespace
