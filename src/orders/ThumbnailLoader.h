#pragma once

#include <QImage>
#include <QObject>
#include <QString>
#include <QThread>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// The file a picture's thumbnail is made from, which is also its key in a
// thumbnail cache; empty when the stored name leads out of the order folder.
QString picturePath(const std::string& folder, std::string_view fileName);

// Makes thumbnails on worker threads at low priority, by a reduced-size
// decode. Only the pictures asked for last are wanted: a new request
// replaces the ones still waiting, so a list scrolled far away does not
// decode what has left the screen. Results come back as made() on the
// loader's thread.
class ThumbnailLoader : public QObject {
    Q_OBJECT
public:
    // Thumbnails fit into a square of `box` pixels.
    explicit ThumbnailLoader(int box, int workers = 2, QObject* parent = nullptr);
    ~ThumbnailLoader() override;

    // The pictures wanted now, first first; those already being decoded
    // are not started again.
    void request(const std::vector<QString>& paths);
    // Drops every waiting picture.
    void cancel() { request({}); }

signals:
    // A null image when the picture cannot be read.
    void made(const QString& path, const QImage& image);

private:
    void work();

    const int m_box;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<QString> m_waiting;
    std::set<QString> m_running;
    bool m_quit = false;
    std::vector<std::unique_ptr<QThread>> m_workers;
};

} // namespace quillon
