#pragma once

#include "ui/shell/Attention.h"

#include <vector>

namespace testsupport {

// Notes every request for the owner's attention instead of making it.
struct RecordingAttention : quillon::Attention {
    std::vector<quillon::NewOrderNotice> asked;
    void ask(const quillon::NewOrderNotice& notice) override { asked.push_back(notice); }
};

} // namespace testsupport
