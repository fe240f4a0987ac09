#include "orders/PathSafety.h"

#include <QDir>
#include <QFileInfo>

namespace quillon {

bool isPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\") == std::string::npos && name.find('\0') == std::string::npos;
}

namespace {

bool isInsideOrSame(const QString& root, const QString& path) {
    return path == root || path.startsWith(root.endsWith('/') ? root : root + '/');
}

} // namespace

bool folderLiesInside(const std::string& root, const std::string& folder) {
    if (root.empty() || folder.empty())
        return false;
    QString cleanRoot = QDir::cleanPath(QFile::decodeName(QByteArray::fromStdString(root)));
    QString cleanFolder = QDir::cleanPath(QFile::decodeName(QByteArray::fromStdString(folder)));
    if (!QDir::isAbsolutePath(cleanFolder) || cleanFolder == cleanRoot ||
        !isInsideOrSame(cleanRoot, cleanFolder) || cleanFolder.split('/').contains(".."))
        return false;
    // The parent must exist for the folder to be made; its real location
    // must still be inside the real root.
    QString realRoot = QFileInfo(cleanRoot).canonicalFilePath();
    QString realParent = QFileInfo(QFileInfo(cleanFolder).path()).canonicalFilePath();
    return !realRoot.isEmpty() && !realParent.isEmpty() && isInsideOrSame(realRoot, realParent);
}

} // namespace quillon
