#include "orders/FilePaths.h"

#include "netlib/AnsiText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <filesystem>

namespace quillon {

namespace {

bool isInsideOrSame(const QString& root, const QString& path) {
    return path == root || path.startsWith(root.endsWith('/') ? root : root + '/');
}

// A bad record could name a folder whose removal would take the shop's own
// data with it.
bool mayRemove(const QString& path) {
    const QString target = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const QString working = QDir::cleanPath(QDir::currentPath());
    if (QDir(target).isRoot() || target == working)
        return false;
    return !working.startsWith(target.endsWith(u'/') ? target : target + u'/');
}

} // namespace

QString qtPath(std::string_view ansi) {
    return QString::fromStdU16String(ansiPath(ansi).u16string());
}

std::string joinPath(const std::string& folder, const std::string& name) {
    return folder + '/' + name;
}

bool pathExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::exists(ansiPath(path), ec);
}

bool isPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\") == std::string::npos && name.find('\0') == std::string::npos;
}

bool folderLiesInside(const std::string& root, const std::string& folder) {
    if (root.empty() || folder.empty())
        return false;
    QString cleanRoot = QDir::cleanPath(qtPath(root));
    QString cleanFolder = QDir::cleanPath(qtPath(folder));
    if (!QDir::isAbsolutePath(cleanFolder) || cleanFolder == cleanRoot ||
        !isInsideOrSame(cleanRoot, cleanFolder) || cleanFolder.split('/').contains(".."))
        return false;
    // The parent must exist for the folder to be made; its real location
    // must still be inside the real root.
    QString realRoot = QFileInfo(cleanRoot).canonicalFilePath();
    QString realParent = QFileInfo(QFileInfo(cleanFolder).path()).canonicalFilePath();
    return !realRoot.isEmpty() && !realParent.isEmpty() && isInsideOrSame(realRoot, realParent);
}

bool removeOrderFolder(const std::string& folder) {
    if (folder.empty())
        return false;
    const QString path = qtPath(folder);
    if (!mayRemove(path))
        return false;
    const QFileInfo info(path);
    if (info.isSymLink())
        return QFile::remove(path);
    if (!info.isDir())
        return false;
    // Removes links inside as entries of their own, without descending.
    return QDir(path).removeRecursively();
}

} // namespace quillon
