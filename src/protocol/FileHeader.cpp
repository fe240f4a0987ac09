#include "protocol/FileHeader.h"

#include "protocol/WireReader.h"

namespace quillon {

Decoded<FileHeader> decodeFileHeader(std::span<const uint8_t> bytes) {
    Decoded<FileHeader> result;
    WireReader in(bytes);
    FileHeader& h = result.value;
    uint32_t nameLength = 0;
    if (!in.readU32(h.unused[0]) || !in.readU32(h.unused[1]) || !in.readU32(h.unused[2]) ||
        !in.readU32(h.size) || !in.readU32(nameLength) || !in.readText(nameLength, h.name))
        return result;
    result.ok = true;
    result.used = in.offset();
    return result;
}

ByteData encodeFileHeader(const FileHeader& header) {
    ByteData out;
    for (uint32_t word : header.unused)
        out.appendU32(word);
    out.appendU32(header.size);
    out.appendU32(uint32_t(header.name.size() + 1));
    out.append(header.name);
    out.append("\0", 1);
    return out;
}

} // namespace quillon
