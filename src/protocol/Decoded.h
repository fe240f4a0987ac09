#pragma once

#include <cstddef>

namespace quillon {

// What a decoder of peer bytes gives back: whether the input was whole and
// well formed, what it decoded (on failure: what was complete before the
// fault), and how many bytes it used.
template <class T> struct Decoded {
    bool ok = false;
    T value{};
    size_t used = 0;
};

} // namespace quillon
