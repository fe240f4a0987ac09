#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <string>

namespace testsupport {

// A temporary working directory with the shop's data folders and an Orders
// root folder.
class ShopFolder {
public:
    ShopFolder();
    QString path() const { return m_dir.path(); }
    std::string str() const { return path().toStdString(); }
    QString filePath(const QString& relative) const { return m_dir.filePath(relative); }
    // A file in one of the folders (core/WorkingFolders.h names them).
    QString filePath(const char* folder, const QString& name) const;
    // The names of the files in `folder`, sorted.
    QStringList files(const QString& folder) const;

private:
    QTemporaryDir m_dir;
};

} // namespace testsupport
