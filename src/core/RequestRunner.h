#pragma once

#include "netlib/AbortSwitch.h"
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

// Whether a request's outcome may be given up when its owner closes: an
// account request, the history or a chat message may; order work may not.
enum class Abandon { No, Yes };

// Runs network requests on worker threads, so the window never waits for a
// slow or silent peer, and hands each outcome back to this object's thread
// as a value. A named request cannot be started again while it runs.
class RequestRunner : public QObject {
    Q_OBJECT
public:
    explicit RequestRunner(QObject* parent = nullptr);
    // Abandons what may be abandoned, then waits for the requests still
    // running; their outcomes are dropped.
    ~RequestRunner() override;

    // Runs `work` on a worker with a prompter that keeps its messages, then
    // `done` with the outcome on this object's thread. An empty name never
    // clashes. False, and nothing runs, while a request of that name runs.
    // The connections of a request that may be abandoned must follow
    // hangUp() (its endpoint carries the switch).
    template <class R>
    bool run(const std::string& name, std::function<R(Prompter&)> work,
             std::function<void(RequestOutcome<R>)> done, Abandon abandon = Abandon::No) {
        auto outcome = std::make_shared<RequestOutcome<R>>();
        return start(
            name,
            [work = std::move(work), outcome] {
                CollectingPrompter prompter;
                outcome->value = work(prompter);
                outcome->messages = prompter.take();
            },
            [done = std::move(done), outcome] { done(std::move(*outcome)); }, abandon);
    }

    // Closes the connections of the requests that may be abandoned and
    // drops their outcomes; their workers end as soon as their sockets
    // notice. Such requests started later end at once, unheard.
    void abandon();
    const std::shared_ptr<AbortSwitch>& hangUp() const { return m_hangUp; }

    bool isRunning(const std::string& name) const;
    // No request whose outcome is awaited runs (abandoned ones may still be
    // ending).
    bool isIdle() const;

signals:
    // The last awaited request has delivered its outcome.
    void idle();
    void busyChanged(bool busy);

private:
    bool start(const std::string& name, std::function<void()> work, std::function<void()> deliver,
               Abandon abandon);
    void finished(uint64_t id, const std::function<void()>& deliver);

    struct Worker {
        std::string name;
        std::thread thread;
        bool abandonable = false;
        bool abandoned = false;
    };
    // Touched only on this object's thread.
    std::map<uint64_t, Worker> m_workers;
    uint64_t m_nextId = 1;
    std::shared_ptr<AbortSwitch> m_hangUp = std::make_shared<AbortSwitch>();
};

} // namespace quillon
