#pragma once

#include <atomic>
#include <functional>

class QObject;

namespace quillon {

// Runs `step` on `context`'s thread and waits until it has run. Returns
// false, without running it, when `abandon` is set before the step starts
// or the context drops the call because it is going away. A step that has
// started always runs to its end before this returns, so it may use the
// caller's locals.
bool runOnThreadAndWait(QObject* context, const std::function<void()>& step,
                        const std::atomic<bool>& abandon);

// How many runOnThreadAndWait calls of this process are waiting now: a test
// of a shop going away with a hand-over pending waits for its hand-overs.
int stepsWaiting();

} // namespace quillon
