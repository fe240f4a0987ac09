#include "orders/Thumbnail.h"
#include "orders/ThumbnailCache.h"
#include "support/SummaryFixtures.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quillon;

// Thumbnails of portrait pictures and of files that are no pictures are the
// summary builder's test.
TEST(Thumbnail, ReadsPicturesByContentAtReducedSize) {
    QTemporaryDir dir;
    const QString jpeg = dir.filePath("big.jpg");
    const QString lying = dir.filePath("really-png.jpg");
    const QString small = dir.filePath("small.jpg");
    ASSERT_TRUE(testsupport::writePicture(jpeg, 2000, 1500));
    ASSERT_TRUE(testsupport::writePicture(lying, 400, 200, "PNG"));
    ASSERT_TRUE(testsupport::writePicture(small, 50, 30));

    const ReducedPicture reduced = loadReducedPicture(jpeg, 120);
    EXPECT_EQ(std::tuple(reduced.image.size(), reduced.fullSize),
              std::tuple(QSize(120, 90), QSize(2000, 1500)));
    // The gradient survives: red grows from left to right.
    EXPECT_TRUE(qRed(reduced.image.pixel(5, 45)) < 30 && qRed(reduced.image.pixel(114, 45)) > 225);

    EXPECT_EQ(std::tuple(makeThumbnail(lying).size(), makeThumbnail(small).size()),
              std::tuple(QSize(120, 60), QSize(50, 30)));
    EXPECT_TRUE(loadReducedPicture(dir.filePath("missing.jpg"), 120).fullSize.isEmpty());
    // Slivers keep a pixel; sizes past 32-bit products do not wrap.
    EXPECT_EQ(std::tuple(fitIntoBox({5000, 3}, 120), fitIntoBox({60000, 40000}, 120)),
              std::tuple(QSize(120, 1), QSize(120, 80)));
}

TEST(ThumbnailCache, StaysWithinItsBytesDroppingTheLeastRecentlyShown) {
    const QImage image(32, 32, QImage::Format_RGB32); // 4 KiB of pixels
    const qint64 each = ThumbnailCache::cost("/o/1.jpg", image);
    ThumbnailCache cache(3 * each);
    for (const char* path : {"/o/1.jpg", "/o/2.jpg", "/o/3.jpg"})
        cache.insert(path, image);
    ASSERT_NE(cache.find("/o/1.jpg"), nullptr); // now shown last
    cache.insert("/o/4.jpg", image);
    EXPECT_EQ(std::tuple(cache.bytes(), cache.contains("/o/1.jpg"), cache.contains("/o/2.jpg"),
                         cache.contains("/o/4.jpg")),
              std::tuple(3 * each, true, false, true));

    // Replacing an entry charges it once; one larger than the bound is not kept.
    cache.insert("/o/4.jpg", QImage());
    EXPECT_LT(cache.bytes(), 3 * each);
    cache.insert("/o/5.jpg", QImage(64, 64, QImage::Format_RGB32));
    EXPECT_EQ(std::tuple(cache.contains("/o/5.jpg"), cache.count()), std::tuple(false, 3));
    cache.clear();
    EXPECT_EQ(cache.bytes(), 0);
}
