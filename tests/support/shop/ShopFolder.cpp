#include "support/shop/ShopFolder.h"

#include "core/WorkingFolders.h"

#include <QDir>

namespace testsupport {

ShopFolder::ShopFolder() {
    QDir d(m_dir.path());
    for (const char* sub : quillon::kDataFolders)
        d.mkdir(sub);
    d.mkdir(quillon::kOrdersFolder);
}

QString ShopFolder::filePath(const char* folder, const QString& name) const {
    return m_dir.filePath(QString(folder) + '/' + name);
}

QStringList ShopFolder::files(const QString& folder) const {
    return QDir(filePath(folder)).entryList(QDir::Files, QDir::Name);
}

} // namespace testsupport
