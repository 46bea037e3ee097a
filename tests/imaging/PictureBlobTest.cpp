#include "imaging/PictureBlob.h"

#include "Fixtures.h"
#include "TempDatabase.h"
#include "data/Connection.h"
#include "data/Query.h"
#include "imaging/Jpeg.h"

#include <gtest/gtest.h>

using imaging::Picture;

namespace {

const QString photo = QStringLiteral("photo");

class PictureBlob : public testing::Test
{
protected:
    PictureBlob()
        : query(connection, QStringLiteral("q"))
    {
        openDatabase(connection, db.path());
    }

    // Opens the member's row with its photo column.
    void openMember(const QString& name)
    {
        query.setSql(QStringLiteral("select * from stafftbl where name = :name"));
        query.setParameter(QStringLiteral("name"), name);
        query.open();
    }

    void saveAndPost(const Picture& picture)
    {
        query.edit();
        imaging::SavePictureToBlob(query, photo, picture);
        query.post();
        query.open();
    }

    TempDatabase db;
    data::Connection connection;
    data::Query query;
};

} // namespace

TEST_F(PictureBlob, StoresPlainJpegAndReadsItBack)
{
    addMember(db, 0, QStringLiteral("Ann"));
    openMember(QStringLiteral("Ann"));
    const Picture original = fixtures::photo(48, 64);
    saveAndPost(original);

    EXPECT_EQ(query.blob(photo), imaging::encodeJpeg(original));
    Picture read(5, 5);
    imaging::LoadPictureFromBlob(query, photo, read);
    EXPECT_EQ(read.width(), 48);
    EXPECT_EQ(read.height(), 64);
}

TEST_F(PictureBlob, EmptyPictureStoresNullAndReadsAsBlank)
{
    addMember(db, 0, QStringLiteral("Bob"), {}, {}, imaging::encodeJpeg(fixtures::photo(8, 8)));
    openMember(QStringLiteral("Bob"));
    saveAndPost(Picture());
    EXPECT_TRUE(query.isNull(photo));

    Picture read = fixtures::pattern(480, 640); // the previous member's photo
    imaging::LoadPictureFromBlob(query, photo, read);
    EXPECT_TRUE(read == Picture(120, 160));
}

TEST_F(PictureBlob, AnythingButAJpegReadsAsBlank)
{
    const QByteArray jpeg = imaging::encodeJpeg(fixtures::photo(32, 32));
    const std::pair<const char*, QByteArray> values[] = {
        {"null", QByteArray()},
        {"bmp", fixtures::bitmap(fixtures::photo(4, 4), 24)},
        {"truncated", jpeg.left(jpeg.size() / 2)},
        {"text", QByteArray("no picture here")},
    };
    for (const auto& [name, bytes] : values)
        addMember(db, 0, QString::fromLatin1(name), {}, {}, bytes);
    for (const auto& [name, bytes] : values) {
        openMember(QString::fromLatin1(name));
        Picture read = fixtures::pattern(3, 3);
        imaging::LoadPictureFromBlob(query, photo, read);
        EXPECT_TRUE(read == Picture(120, 160)) << name;
    }

    openMember(QStringLiteral("nobody")); // no current row
    Picture read = fixtures::pattern(3, 3);
    imaging::LoadPictureFromBlob(query, photo, read);
    EXPECT_TRUE(read == Picture(120, 160));
}

// A member's photo: no stored value is no photo (an empty picture, nothing of the previous
// member's left); a value that cannot be decoded still stands in as the blank picture.
TEST_F(PictureBlob, MemberWithoutPhotoReadsAsNoPicture)
{
    const std::tuple<const char*, QByteArray, QSize> values[] = {
        {"null", QByteArray(), QSize(0, 0)},
        {"text", QByteArray("no picture here"), QSize(120, 160)},
        {"jpeg", imaging::encodeJpeg(fixtures::photo(6, 4)), QSize(6, 4)},
    };
    for (const auto& [name, bytes, size] : values)
        addMember(db, 0, QString::fromLatin1(name), {}, {}, bytes);
    for (const auto& [name, bytes, size] : values) {
        openMember(QString::fromLatin1(name));
        Picture read = fixtures::pattern(3, 3);
        imaging::LoadPhotoFromBlob(query, photo, read);
        EXPECT_EQ(QSize(read.width(), read.height()), size) << name;
    }
    openMember(QStringLiteral("nobody")); // no current row
    Picture read = fixtures::pattern(3, 3);
    imaging::LoadPhotoFromBlob(query, photo, read);
    EXPECT_TRUE(read.isEmpty());
}

TEST_F(PictureBlob, RowNotBeingEditedIsLeftAlone)
{
    const QByteArray before = imaging::encodeJpeg(fixtures::photo(8, 8));
    addMember(db, 0, QStringLiteral("Cy"), {}, {}, before);
    openMember(QStringLiteral("Cy"));
    imaging::SavePictureToBlob(query, photo, fixtures::photo(16, 16));
    EXPECT_EQ(query.blob(photo), before);
}
