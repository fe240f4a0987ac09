#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace quillon {

// Paths in the shop are 8-bit texts (netlib/AnsiText.h); every file
// operation names its file through ansiPath, or through qtPath for Qt's
// file classes, which follows the same rule.

// The path an 8-bit text names, for Qt's file classes.
QString qtPath(std::string_view ansi);

// Joins a folder and a name with the platform's separator, whatever the
// folder ends with.
std::string joinPath(const std::string& folder, const std::string& name);

// True when an entry (file or folder) of exactly that path exists.
bool pathExists(const std::string& path);

// A name that stays inside the folder it is joined to: not empty, no
// separator, not "." or "..".
bool isPlainFileName(const std::string& name);

// True when `folder` would be created directly or deeper inside `root`,
// judged on the cleaned paths and on the real location of the folder's
// parent (so a link inside the root cannot lead out of it).
bool folderLiesInside(const std::string& root, const std::string& folder);

// Deletes an order's folder with all its files and subfolders. Symbolic
// links are removed, never followed, so nothing outside the folder is
// touched; an empty path, a filesystem root, the working folder and its
// parents are refused. False when anything was left behind.
bool removeOrderFolder(const std::string& folder);

} // namespace quillon
