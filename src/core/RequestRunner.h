#pragma once

#include "protocol/Prompter.h"

#include <QObject>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace quillon {

// What a request came back with: its result, and the messages it wanted to
// show, for the caller to show now that the request is over.
template <class R> struct RequestOutcome {
    R value{};
    std::vector<std::string> messages;
};

// Runs network requests on worker threads, so the window never waits for a
// slow or silent peer, and hands each outcome back to this object's thread
// as a value. A named request cannot be started again while it runs.
class RequestRunner : public QObject {
    Q_OBJECT
public:
    explicit RequestRunner(QObject* parent = nullptr);
    // Waits for the requests still running; their outcomes are dropped.
    ~RequestRunner() override;

    // Runs `work` on a worker with a prompter that keeps its messages, then
    // `done` with the outcome on this object's thread. An empty name never
    // clashes. False, and nothing runs, while a request of that name runs.
    template <class R>
    bool run(const std::string& name, std::function<R(Prompter&)> work,
             std::function<void(RequestOutcome<R>)> done) {
        auto outcome = std::make_shared<RequestOutcome<R>>();
        return start(
            name,
            [work = std::move(work), outcome] {
                CollectingPrompter prompter;
                outcome->value = work(prompter);
                outcome->messages = prompter.take();
            },
            [done = std::move(done), outcome] { done(std::move(*outcome)); });
    }

    bool isRunning(const std::string& name) const;
    bool isIdle() const { return m_workers.empty(); }

signals:
    // The last running request has delivered its outcome.
    void idle();
    void busyChanged(bool busy);

private:
    bool start(const std::string& name, std::function<void()> work, std::function<void()> deliver);
    void finished(uint64_t id, const std::function<void()>& deliver);

    struct Worker {
        std::string name;
        std::thread thread;
    };
    // Touched only on this object's thread.
    std::map<uint64_t, Worker> m_workers;
    uint64_t m_nextId = 1;
};

} // namespace quillon
