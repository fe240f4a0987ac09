#include "core/RequestRunner.h"
#include "core/ThreadHop.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QThread>
#include <atomic>
#include <future>
#include <gtest/gtest.h>

using namespace quillon;
using testsupport::processUntil;

TEST(RequestRunner, DeliversOutcomesOnItsThreadAndRefusesANamedRequestTwice) {
    RequestRunner runner;
    int idles = 0;
    QObject::connect(&runner, &RequestRunner::idle, [&] { ++idles; });
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::optional<RequestOutcome<int>> got;
    QThread* deliveredOn = nullptr;

    ASSERT_TRUE(runner.run<int>(
        "login",
        [released](Prompter& p) {
            released.wait();
            p.showMessage("Login failed.");
            return 7;
        },
        [&](RequestOutcome<int> outcome) {
            deliveredOn = QThread::currentThread();
            got = std::move(outcome);
        }));
    EXPECT_FALSE(runner.run<int>(
        "login", [](Prompter&) { return 0; }, [](RequestOutcome<int>) {}));
    EXPECT_TRUE(runner.isRunning("login") && !runner.isIdle());

    release.set_value();
    ASSERT_TRUE(processUntil([&] { return got.has_value(); }));
    EXPECT_EQ(std::tuple(got->value, got->messages, deliveredOn, runner.isIdle(), idles),
              std::tuple(7, std::vector<std::string>{"Login failed."}, QThread::currentThread(),
                         true, 1));
    // Free again once delivered.
    EXPECT_TRUE(runner.run<int>(
        "login", [](Prompter&) { return 1; }, [](RequestOutcome<int>) {}));
}

TEST(RequestRunner, GoingAwayWaitsForWorkAndDropsItsOutcome) {
    std::atomic<bool> worked{false};
    bool delivered = false;
    {
        RequestRunner runner;
        runner.run<int>(
            "",
            [&](Prompter&) {
                QThread::msleep(50);
                worked = true;
                return 1;
            },
            [&](RequestOutcome<int>) { delivered = true; });
    }
    EXPECT_TRUE(worked);
    // Whatever the worker posted is queued by now.
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(delivered);
}

TEST(ThreadHop, RunsTheStepOnTheContextThreadOrNotAtAllWhenAbandoned) {
    QObject context;
    std::atomic<bool> abandon{false};
    QThread* ranOn = nullptr;
    bool ran = false;
    auto hop = std::async(std::launch::async, [&] {
        return runOnThreadAndWait(
            &context, [&] { ranOn = QThread::currentThread(); }, abandon);
    });
    ASSERT_TRUE(processUntil(
        [&] { return hop.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
    EXPECT_EQ(std::tuple(hop.get(), ranOn), std::tuple(true, QThread::currentThread()));

    // Nobody runs the event loop now: abandoning ends the wait, and the
    // queued step never runs afterwards.
    auto dropped = std::async(std::launch::async, [&] {
        return runOnThreadAndWait(
            &context, [&] { ran = true; }, abandon);
    });
    abandon = true;
    EXPECT_FALSE(dropped.get());
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(ran);
}
