#include "orders/ThumbnailLoader.h"

#include "orders/FilePaths.h"
#include "orders/Thumbnail.h"

namespace quillon {

QString picturePath(const std::string& folder, std::string_view fileName) {
    const std::string name(fileName);
    return isPlainFileName(name) ? qtPath(joinPath(folder, name)) : QString();
}

ThumbnailLoader::ThumbnailLoader(int box, int workers, QObject* parent)
    : QObject(parent), m_box(box) {
    // Thumbnails must not slow the window or the receptions down.
    for (int i = 0; i < workers; ++i) {
        m_workers.emplace_back(QThread::create([this] { work(); }));
        m_workers.back()->start(QThread::LowPriority);
    }
}

ThumbnailLoader::~ThumbnailLoader() {
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
        m_waiting.clear();
    }
    m_wake.notify_all();
    for (const auto& worker : m_workers)
        worker->wait();
}

void ThumbnailLoader::request(const std::vector<QString>& paths) {
    {
        std::lock_guard lock(m_mutex);
        m_waiting.clear();
        for (const QString& path : paths)
            if (!m_running.contains(path))
                m_waiting.push_back(path);
    }
    m_wake.notify_all();
}

void ThumbnailLoader::work() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_quit || !m_waiting.empty(); });
        if (m_quit)
            return;
        const QString path = m_waiting.front();
        m_waiting.pop_front();
        m_running.insert(path);
        lock.unlock();
        const QImage image = loadReducedPicture(path, m_box).image;
        emit made(path, image);
        lock.lock();
        m_running.erase(path);
    }
}

} // namespace quillon
