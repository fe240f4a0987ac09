#pragma once

#include <string>

namespace quillon {

// Deletes an order's folder with all its files and subfolders. Symbolic
// links are removed, never followed, so nothing outside the folder is
// touched; an empty path, a filesystem root, the working folder and its
// parents are refused. False when anything was left behind.
bool removeOrderFolder(const std::string& folder);

} // namespace quillon
