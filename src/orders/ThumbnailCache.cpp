#include "orders/ThumbnailCache.h"

namespace quillon {

const QImage* ThumbnailCache::find(const QString& path) {
    const auto it = m_index.constFind(path);
    if (it == m_index.cend())
        return nullptr;
    m_recent.splice(m_recent.begin(), m_recent, it.value());
    return &m_recent.front().second;
}

void ThumbnailCache::insert(const QString& path, QImage image) {
    if (const auto it = m_index.constFind(path); it != m_index.cend())
        drop(it.value());
    const qint64 charge = cost(path, image);
    if (charge > m_limit)
        return;
    while (m_bytes + charge > m_limit && !m_recent.empty())
        drop(std::prev(m_recent.end()));
    m_recent.emplace_front(path, std::move(image));
    m_index.insert(path, m_recent.begin());
    m_bytes += charge;
}

void ThumbnailCache::clear() {
    m_recent.clear();
    m_index.clear();
    m_bytes = 0;
}

qint64 ThumbnailCache::cost(const QString& path, const QImage& image) {
    // The list node, the hash node and the key's characters.
    constexpr qint64 overhead = 96;
    return image.sizeInBytes() + qint64(path.size()) * 2 + overhead;
}

void ThumbnailCache::drop(std::list<Entry>::iterator it) {
    m_bytes -= cost(it->first, it->second);
    m_index.remove(it->first);
    m_recent.erase(it);
}

} // namespace quillon
