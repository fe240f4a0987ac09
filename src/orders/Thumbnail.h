#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <vector>

namespace quillon {

// Thumbnails fit into a square of this many pixels.
inline constexpr int kThumbnailBox = 120;

// A picture decoded once at a reduced size.
struct ReducedPicture {
    QImage image;   // fits into the box asked for; never larger than the picture
    QSize fullSize; // the picture's own size, upright
};

// `size` scaled down to fit into a square of `box`, keeping its shape (never
// up, never below one pixel).
QSize fitIntoBox(QSize size, int box);

// Decodes the picture at `path` straight to a size that fits into `box`
// (a JPEG is decoded at a reduced scale, so a large picture never exists in
// memory at full size), turned upright as its orientation tag says. A null
// image when the file is not a readable picture.
ReducedPicture loadReducedPicture(const QString& path, int box);

// loadReducedPicture for each path, several at once on the processor's
// cores; an empty path gives an empty result in its place.
std::vector<ReducedPicture> loadReducedPictures(const std::vector<QString>& paths, int box);

// The thumbnail of the picture at `path`, or a null image.
QImage makeThumbnail(const QString& path);

} // namespace quillon
