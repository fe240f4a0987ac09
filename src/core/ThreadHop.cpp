#include "core/ThreadHop.h"

#include <QMetaObject>
#include <QObject>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace quillon {

namespace {

struct Hop {
    enum class State { Queued, Running, Done, Dropped };
    std::mutex mutex;
    std::condition_variable changed;
    State state = State::Queued;

    void set(State s) {
        std::lock_guard lock(mutex);
        state = s;
        changed.notify_all();
    }
};

// Marks the hop dropped when the queued call is destroyed without running.
struct DropGuard {
    std::shared_ptr<Hop> hop;
    ~DropGuard() {
        std::lock_guard lock(hop->mutex);
        if (hop->state == Hop::State::Queued) {
            hop->state = Hop::State::Dropped;
            hop->changed.notify_all();
        }
    }
};

std::atomic<int> g_waiting{0};

// Counts a call as waiting once its step is queued, until it returns.
struct WaitingCount {
    WaitingCount() { ++g_waiting; }
    ~WaitingCount() { --g_waiting; }
};

} // namespace

int stepsWaiting() {
    return g_waiting.load();
}

bool runOnThreadAndWait(QObject* context, const std::function<void()>& step,
                        const std::atomic<bool>& abandon) {
    auto hop = std::make_shared<Hop>();
    std::shared_ptr<DropGuard> guard(new DropGuard{hop});
    QMetaObject::invokeMethod(
        context,
        [hop, guard, &step] {
            {
                std::lock_guard lock(hop->mutex);
                if (hop->state != Hop::State::Queued)
                    return;
                hop->state = Hop::State::Running;
            }
            step();
            hop->set(Hop::State::Done);
        },
        Qt::QueuedConnection);
    guard.reset();
    const WaitingCount waiting;

    std::unique_lock lock(hop->mutex);
    for (;;) {
        if (hop->state == Hop::State::Done)
            return true;
        if (hop->state == Hop::State::Dropped)
            return false;
        if (hop->state == Hop::State::Queued && abandon.load()) {
            hop->state = Hop::State::Dropped;
            return false;
        }
        hop->changed.wait_for(lock, std::chrono::milliseconds(50));
    }
}

} // namespace quillon
