#include "orders/Thumbnail.h"

#include <QImageReader>
#include <algorithm>
#include <atomic>
#include <thread>

namespace quillon {

QSize fitIntoBox(QSize size, int box) {
    const int64_t w = size.width();
    const int64_t h = size.height();
    if (w <= box && h <= box)
        return size;
    if (h <= w)
        return {box, int(std::max<int64_t>(1, box * h / w))};
    return {int(std::max<int64_t>(1, box * w / h)), box};
}

ReducedPicture loadReducedPicture(const QString& path, int box) {
    QImageReader reader(path);
    // The name's suffix may lie; the content decides.
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    const bool knowsSize = stored.isValid() && !stored.isEmpty();
    if (knowsSize)
        reader.setScaledSize(fitIntoBox(stored, box));
    QImage image = reader.read();
    if (image.isNull())
        return {};
    QSize full = knowsSize ? stored : image.size();
    if (knowsSize && reader.transformation().testFlag(QImageIOHandler::TransformationRotate90))
        full.transpose();
    if (!knowsSize)
        image = image.scaled(fitIntoBox(image.size(), box), Qt::IgnoreAspectRatio,
                             Qt::SmoothTransformation);
    return {image, full};
}

std::vector<ReducedPicture> loadReducedPictures(const std::vector<QString>& paths, int box) {
    // Decoding is most of the work and each picture stands alone; more
    // decoders than cores would only take turns.
    constexpr unsigned maxDecoders = 4;
    std::vector<ReducedPicture> pictures(paths.size());
    std::atomic<size_t> next = 0;
    auto decode = [&] {
        for (size_t i; (i = next++) < paths.size();)
            if (!paths[i].isEmpty())
                pictures[i] = loadReducedPicture(paths[i], box);
    };
    const size_t helpers = std::min<size_t>(
        {std::max(1u, std::thread::hardware_concurrency()), maxDecoders, paths.size()});
    {
        // Every helper has ended when this block is left.
        std::vector<std::jthread> threads;
        for (size_t t = 1; t < helpers; ++t)
            threads.emplace_back(decode);
        decode();
    }
    return pictures;
}

QImage makeThumbnail(const QString& path) {
    return loadReducedPicture(path, kThumbnailBox).image;
}

} // namespace quillon
