#pragma once

#include <QHash>
#include <QImage>
#include <QString>
#include <list>
#include <utility>

namespace quillon {

// Thumbnails by picture path, bounded in bytes: when a new one would pass
// the bound, those shown least recently go first. A null image records a
// picture that cannot be read, so it is not decoded again and again.
class ThumbnailCache {
public:
    static constexpr qint64 kDefaultLimit = 32 * 1024 * 1024;

    explicit ThumbnailCache(qint64 byteLimit = kDefaultLimit) : m_limit(byteLimit) {}

    // The entry for `path`, counted as shown now; nullptr when there is none.
    const QImage* find(const QString& path);
    bool contains(const QString& path) const { return m_index.contains(path); }
    void insert(const QString& path, QImage image);
    void clear();

    qint64 bytes() const { return m_bytes; }
    qint64 limit() const { return m_limit; }
    qsizetype count() const { return m_index.size(); }

    // What an entry is charged: its pixels and its key.
    static qint64 cost(const QString& path, const QImage& image);

private:
    using Entry = std::pair<QString, QImage>;
    void drop(std::list<Entry>::iterator it);

    qint64 m_limit;
    qint64 m_bytes = 0;
    std::list<Entry> m_recent; // most recently shown first
    QHash<QString, std::list<Entry>::iterator> m_index;
};

} // namespace quillon
