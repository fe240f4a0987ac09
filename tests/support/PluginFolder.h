#pragma once

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <initializer_list>
#include <utility>

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

    // Copies the built plug-in `built` into `folder` as `as` (both without
    // the suffix).
    static bool copy(const QString& folder, const QString& built, const QString& as) {
        return QFile::copy(QDir(PLUGIN_BUILD_DIR).filePath(built + suffix),
                           QDir(folder).filePath(as + suffix));
    }
    bool add(const QString& built, const QString& as) {
        return copy(m_dir.path(), built, as);
    }

private:
    QTemporaryDir m_dir;
};

// The test plug-in's settings in the environment while this lives: its call
// log, in a folder of its own, and behaviours by "<TAG>_<KEY>" names.
class TestPluginSettings {
public:
    explicit TestPluginSettings(
        std::initializer_list<std::pair<const char*, const char*>> settings = {}) {
        set("LOG", m_dir.filePath("calls.log").toLocal8Bit());
        for (const auto& [key, value] : settings)
            set(key, value);
    }
    ~TestPluginSettings() {
        for (const QByteArray& name : m_names)
            qunsetenv(name.constData());
    }
    TestPluginSettings(const TestPluginSettings&) = delete;
    TestPluginSettings& operator=(const TestPluginSettings&) = delete;

    void set(const QByteArray& key, const QByteArray& value) {
        m_names.append(QByteArray("QUILLON_TESTPLUGIN_") + key);
        qputenv(m_names.last().constData(), value);
    }
    void clearLog() const { QFile::remove(m_dir.filePath("calls.log")); }
    // The log's lines in the order they were written.
    QStringList calls() const {
        QFile log(m_dir.filePath("calls.log"));
        if (!log.open(QIODevice::ReadOnly))
            return {};
        return QString::fromLatin1(log.readAll()).split('\n', Qt::SkipEmptyParts);
    }

private:
    QTemporaryDir m_dir;
    QByteArrayList m_names;
};

} // namespace testsupport
