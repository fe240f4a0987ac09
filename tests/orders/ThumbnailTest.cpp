#include "orders/Thumbnail.h"
#include "support/SummaryFixtures.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quillon;

TEST(Thumbnail, ReadsPicturesByContentAtReducedSize) {
    QTemporaryDir dir;
    const QString jpeg = dir.filePath("big.jpg");
    const QString png = dir.filePath("tall.png");
    const QString lying = dir.filePath("really-png.jpg");
    const QString small = dir.filePath("small.jpg");
    ASSERT_TRUE(testsupport::writePicture(jpeg, 2000, 1500));
    ASSERT_TRUE(testsupport::writePicture(png, 300, 900));
    ASSERT_TRUE(testsupport::writePicture(lying, 400, 200, "PNG"));
    ASSERT_TRUE(testsupport::writePicture(small, 50, 30));
    ASSERT_TRUE(testsupport::writeFile(dir.filePath("notes.jpg"), "not a picture at all"));

    const ReducedPicture reduced = loadReducedPicture(jpeg, 120);
    EXPECT_EQ(reduced.image.size(), QSize(120, 90));
    EXPECT_EQ(reduced.fullSize, QSize(2000, 1500));
    // The gradient survives: red grows from left to right.
    EXPECT_LT(qRed(reduced.image.pixel(5, 45)), 30);
    EXPECT_GT(qRed(reduced.image.pixel(114, 45)), 225);

    EXPECT_EQ(makeThumbnail(png).size(), QSize(40, 120));
    EXPECT_EQ(makeThumbnail(lying).size(), QSize(120, 60));
    EXPECT_EQ(makeThumbnail(small).size(), QSize(50, 30));
    EXPECT_TRUE(makeThumbnail(dir.filePath("notes.jpg")).isNull());
    EXPECT_TRUE(makeThumbnail(dir.filePath("missing.jpg")).isNull());
    EXPECT_TRUE(loadReducedPicture(dir.filePath("missing.jpg"), 120).fullSize.isEmpty());
    // Slivers keep a pixel; sizes past 32-bit products do not wrap.
    EXPECT_EQ(fitIntoBox({5000, 3}, 120), QSize(120, 1));
    EXPECT_EQ(fitIntoBox({60000, 40000}, 120), QSize(120, 80));
}

TEST(Thumbnail, TurnsPicturesUprightAsTheirOrientationTagSays) {
    QTemporaryDir dir;
    const QString path = dir.filePath("phone.jpg");
    ASSERT_TRUE(testsupport::writePicture(path, 800, 400));
    // A camera's tag: stored lying on its side, to be turned 90 degrees.
    const QByteArray tiff("MM\0\x2a\0\0\0\x08"
                          "\0\x01"
                          "\x01\x12\0\x03\0\0\0\x01\0\x06\0\0"
                          "\0\0\0\0",
                          26);
    const QByteArray exif = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray app1("\xff\xe1");
    app1.append(char((exif.size() + 2) >> 8)).append(char((exif.size() + 2) & 0xff)).append(exif);
    QByteArray jpeg = testsupport::readFile(path);
    jpeg.insert(2, app1);
    ASSERT_TRUE(testsupport::writeFile(path, jpeg));

    const ReducedPicture upright = loadReducedPicture(path, 120);
    EXPECT_EQ(upright.image.size(), QSize(60, 120));
    EXPECT_EQ(upright.fullSize, QSize(400, 800));
}
