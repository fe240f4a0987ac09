#pragma once

#include <QString>
#include <string>
#include <vector>

namespace quillon {

// Writes the lines, each ended with CR LF, as the whole new content of the
// file at `path` (created, or replaced once written in full). False, and the
// old file untouched, when it cannot be written.
bool writeTextLines(const QString& path, const std::vector<std::string>& lines);

} // namespace quillon
