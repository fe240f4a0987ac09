#pragma once

#include <string>

namespace quillon {

// A name that stays inside the folder it is joined to: not empty, no
// separator, not "." or "..".
bool isPlainFileName(const std::string& name);

// True when `folder` would be created directly or deeper inside `root`,
// judged on the cleaned paths and on the real location of the folder's
// parent (so a link inside the root cannot lead out of it).
bool folderLiesInside(const std::string& root, const std::string& folder);

} // namespace quillon
