// The anchor of the start-up benchmark: the least a Qt widget program does
// to show a window of Quillon's size and be responsive. Prints "Main window
// shown." once the window has been painted and the event loop is free again,
// then ends.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {

// Reports the first paint of the window it watches.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, [] {
                std::printf("Main window shown.\n");
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle("anchor");
    window.resize(900, 620);
    FirstPaint watcher;
    window.installEventFilter(&watcher);
    window.show();
    return app.exec();
}
