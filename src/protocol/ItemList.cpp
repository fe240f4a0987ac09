#include "protocol/ItemList.h"

#include "protocol/WireReader.h"
#include "protocol/WireWriter.h"

#include <algorithm>

namespace quillon {

namespace {

constexpr size_t kPairSize = 8;
// The least a picture entry can take: its two length words.
constexpr size_t kMinPictureSize = 8;

bool readPicture(WireReader& in, ItemListPicture& picture) {
    uint32_t count = 0;
    if (!in.readLengthText(picture.name) || !in.readU32(count))
        return false;
    // Checked against what is there before anything is allocated.
    if (in.remaining() / kPairSize < count)
        return false;
    picture.items.resize(count);
    for (ItemQuantity& item : picture.items) {
        in.readU32(item.code);
        in.readU32(item.quantity);
    }
    return true;
}

} // namespace

Decoded<ItemList> decodeItemList(std::span<const uint8_t> bytes) {
    Decoded<ItemList> result;
    WireReader in(bytes);
    uint32_t count = 0;
    if (!in.readU32(count))
        return result;
    result.used = in.offset();
    result.value.reserve(std::min<size_t>(count, in.remaining() / kMinPictureSize));
    for (uint32_t i = 0; i < count; ++i) {
        ItemListPicture picture;
        if (!readPicture(in, picture))
            return result;
        result.value.push_back(std::move(picture));
        result.used = in.offset();
    }
    result.ok = true;
    return result;
}

ByteData encodeItemList(const ItemList& pictures) {
    ByteData out;
    out.appendU32(uint32_t(pictures.size()));
    for (const ItemListPicture& p : pictures) {
        appendLengthText(out, p.name);
        out.appendU32(uint32_t(p.items.size()));
        for (const ItemQuantity& item : p.items) {
            out.appendU32(item.code);
            out.appendU32(item.quantity);
        }
    }
    return out;
}

} // namespace quillon
