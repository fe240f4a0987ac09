#include "protocol/FieldCodec.h"

#include "protocol/WireWriter.h"

#include <climits>

namespace quillon {

namespace {

template <class... Ts> struct Overloaded : Ts... { using Ts::operator()...; };
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;

} // namespace

size_t encodedFieldSize(const FieldRef& field) {
    return std::visit(Overloaded{
                          [](int32_t*) -> size_t { return 4; },
                          [](uint32_t*) -> size_t { return 4; },
                          [](std::string* s) -> size_t { return s->size() + 5; },
                          [](SessionBlock*) -> size_t { return SessionBlock::kSize; },
                          [](ByteData* b) -> size_t { return b->size() + 4; },
                      },
                      field);
}

void encodeField(const FieldRef& field, ByteData& out) {
    std::visit(Overloaded{
                   [&](int32_t* v) { appendI32(out, *v); },
                   [&](uint32_t* v) { out.appendU32(*v); },
                   [&](std::string* s) { appendLengthText(out, *s); },
                   [&](SessionBlock* b) { out.append(b->bytes().data(), b->bytes().size()); },
                   [&](ByteData* b) {
                       out.appendU32(uint32_t(b->size()));
                       out.append(b->data(), b->size());
                   },
               },
               field);
}

bool decodeField(const FieldRef& field, WireReader& in) {
    return std::visit(Overloaded{
                          [&](int32_t* v) { return in.readI32(*v); },
                          [&](uint32_t* v) { return in.readU32(*v); },
                          [&](std::string* s) { return in.readLengthText(*s); },
                          [&](SessionBlock* b) {
                              std::span<const uint8_t> bytes;
                              return in.readBytes(SessionBlock::kSize, bytes) && b->assign(bytes);
                          },
                          [&](ByteData* b) {
                              std::span<const uint8_t> bytes;
                              if (!in.readLengthBytes(bytes))
                                  return false;
                              b->clear();
                              b->append(bytes.data(), bytes.size());
                              return true;
                          },
                      },
                      field);
}

size_t encodedSize(std::span<const FieldRef> fields) {
    size_t total = 0;
    for (const FieldRef& f : fields)
        total += encodedFieldSize(f);
    return total;
}

void encodeFields(std::span<const FieldRef> fields, ByteData& out) {
    out.reserve(out.size() + encodedSize(fields));
    for (const FieldRef& f : fields)
        encodeField(f, out);
}

int decodeFields(std::span<const FieldRef> fields, std::span<const uint8_t> bytes, size_t offset) {
    WireReader in(bytes, offset);
    for (const FieldRef& f : fields)
        if (!decodeField(f, in))
            return -2;
    // Results are plain ints; an input this large cannot be a message body.
    return in.offset() <= size_t(INT_MAX) ? int(in.offset()) : -2;
}

} // namespace quillon
