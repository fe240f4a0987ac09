#include "orders/ThumbnailCache.h"

#include <gtest/gtest.h>

using namespace quillon;

TEST(ThumbnailCache, StaysWithinItsBytesDroppingTheLeastRecentlyShown) {
    const QImage image(32, 32, QImage::Format_RGB32); // 4 KiB of pixels
    const qint64 each = ThumbnailCache::cost("/o/1.jpg", image);
    ThumbnailCache cache(3 * each);
    cache.insert("/o/1.jpg", image);
    cache.insert("/o/2.jpg", image);
    cache.insert("/o/3.jpg", image);
    ASSERT_NE(cache.find("/o/1.jpg"), nullptr); // now shown last
    cache.insert("/o/4.jpg", image);
    EXPECT_EQ(cache.bytes(), 3 * each);
    EXPECT_TRUE(cache.contains("/o/1.jpg"));
    EXPECT_FALSE(cache.contains("/o/2.jpg"));
    EXPECT_TRUE(cache.contains("/o/4.jpg"));

    // Replacing an entry charges it once; one larger than the bound is not kept.
    cache.insert("/o/4.jpg", QImage());
    EXPECT_LT(cache.bytes(), 3 * each);
    cache.insert("/o/5.jpg", QImage(64, 64, QImage::Format_RGB32));
    EXPECT_FALSE(cache.contains("/o/5.jpg"));
    EXPECT_EQ(cache.count(), 3);
    cache.clear();
    EXPECT_EQ(cache.bytes(), 0);
}
