#include "orders/OrderFolderRemover.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quillon {

namespace {

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

bool removeOrderFolder(const std::string& folder) {
    if (folder.empty())
        return false;
    const QString path = QFile::decodeName(QByteArray::fromStdString(folder));
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
