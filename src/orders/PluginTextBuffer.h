#pragma once

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

namespace quillon {

// A writable text buffer of fixed size handed to a plug-in. It starts as a
// copy of a text; a text longer than Size - 1 bytes is cut to fit, since the
// buffer size is all a plug-in may rely on.
template <std::size_t Size> class PluginTextBuffer {
public:
    explicit PluginTextBuffer(const std::string& text) {
        m_bytes.fill(0);
        m_given = text.substr(0, std::min(text.size(), Size - 1));
        std::memcpy(m_bytes.data(), m_given.data(), m_given.size());
    }

    char* data() { return m_bytes.data(); }

    // What the plug-in left. The last byte is forced to NUL first, so a
    // plug-in that filled the whole buffer is never read past its end.
    std::string text() {
        m_bytes[Size - 1] = '\0';
        return std::string(m_bytes.data(), std::strlen(m_bytes.data()));
    }

    // Takes a rewrite back into `value`. A text the plug-in left as it got
    // it keeps its full length, even when only a cut copy fitted.
    void takeBack(std::string& value) {
        std::string left = text();
        if (left != m_given)
            value = std::move(left);
    }

private:
    std::array<char, Size> m_bytes;
    std::string m_given;
};

} // namespace quillon
