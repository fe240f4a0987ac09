#include "core/Prompters.h"

#include "netlib/AnsiText.h"

#include <cstdio>

namespace quillon {

void HeadlessPrompter::showMessage(const std::string& text) {
    std::fprintf(stderr, "Quillon: %s\n", ansiToUtf8(text).c_str());
    if (m_sink)
        m_sink(text);
}

bool HeadlessPrompter::askYesNo(const std::string& text) {
    showMessage(text + " (answered No: no one to ask)");
    return false;
}

} // namespace quillon
