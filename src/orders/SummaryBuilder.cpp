#include "orders/SummaryBuilder.h"

#include "orders/FilePaths.h"
#include "orders/OrderSummary.h"
#include "orders/Thumbnail.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <limits>

namespace quillon {

namespace {

std::string itemText(const ItemLine& line) {
    if (line.product)
        return std::to_string(line.quantity) + "  -  " + line.product->description;
    return std::to_string(line.quantity) + "  - [item code " + std::to_string(line.code) + "]";
}

// An existing summary is deleted first; one that cannot be deleted is kept
// and the new one is not saved.
bool clearSummaryPath(const std::string& path) {
    const QString name = qtPath(path);
    const QFileInfo info(name);
    if (!info.exists() && !info.isSymLink())
        return true;
    return !info.isDir() && QFile::remove(name);
}

} // namespace

std::string summaryPath(const std::string& folder, const std::string& orderNumber) {
    return joinPath(folder, orderNumber + ".pdf");
}

bool SummaryBuilder::build(OrderEntry& order, const std::string& title, bool makeSummary) const {
    OrderSummary summary;
    if (m_hook)
        m_hook(summary);
    summary.setRowHeight(OrderSummary::kRowHeight);
    summary.setLeftMargin(OrderSummary::kLeftMargin);
    summary.setTextGap(OrderSummary::kTextGap);
    summary.setFooter("Velorin Photo Network - Quillon");
    summary.setTitle(title);
    summary.setCustomer(order.customer);
    summary.setOrderNumber(order.orderNumber);
    summary.setAmount(order.amount);
    summary.setDate(m_clock.localNow());
    const bool drawing = makeSummary && summary.begin();

    int64_t itemCount = order.itemCount;
    // One decode serves both the thumbnail and the summary's smaller copy.
    std::vector<QString> paths(order.pictures.size());
    for (size_t p = 0; p < order.pictures.size(); ++p) {
        const std::string name(order.pictures[p].fileName);
        if (isPlainFileName(name))
            paths[p] = qtPath(joinPath(order.folder, name));
    }
    std::vector<ReducedPicture> decoded = loadReducedPictures(paths, kThumbnailBox);
    order.thumbnails.assign(order.pictures.size(), QImage());
    for (size_t p = 0; p < order.pictures.size(); ++p) {
        const PictureView picture = order.pictures[p];
        for (const ItemLine& line : picture.items)
            itemCount += line.quantity;
        const ReducedPicture& reduced = decoded[p];
        if (reduced.image.isNull())
            continue;
        order.thumbnails[p] = reduced.image;
        if (!drawing)
            continue;
        std::vector<std::string> texts;
        texts.reserve(picture.items.size());
        for (const ItemLine& line : picture.items)
            texts.push_back(itemText(line));
        summary.addPicture(reduced.image, std::string(picture.fileName), texts, reduced.fullSize);
    }
    // Quantities come from the sender; a sum past the field's range is held
    // at its end instead of wrapping.
    order.itemCount = int32_t(std::clamp<int64_t>(itemCount, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));

    if (!drawing)
        return false;
    summary.finish();
    if (summary.failed() || !isPlainFileName(order.orderNumber + ".pdf"))
        return false;
    const std::string path = summaryPath(order.folder, order.orderNumber);
    return clearSummaryPath(path) && summary.save(path);
}

bool buildSummaryAndThumbnails(OrderEntry& order, const std::string& title, const Clock& clock,
                               bool makeSummary) {
    return SummaryBuilder(clock).build(order, title, makeSummary);
}

} // namespace quillon
