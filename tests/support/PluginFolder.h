#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace testsupport {

// A temporary plug-in folder holding copies of the plug-ins built with the
// project. Copies are separate files, so the same plug-in loads once per copy.
class PluginFolder {
public:
#ifdef Q_OS_WIN
    static constexpr const char* suffix = ".dll";
#else
    static constexpr const char* suffix = ".so";
#endif

    QString path() const {
        return m_dir.path();
    }

    // Copies the built plug-in `built` into the folder as `as` (both
    // without the suffix).
    bool add(const QString& built, const QString& as) {
        return QFile::copy(QDir(PLUGIN_BUILD_DIR).filePath(built + suffix),
                           m_dir.filePath(as + suffix));
    }

private:
    QTemporaryDir m_dir;
};

} // namespace testsupport
