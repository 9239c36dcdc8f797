#pragma once

#include <chrono>
#include <functional>

namespace platform {

// The main run loop: GLib's default main context. In the application Qt's event loop runs it; a
// headless program (the command-line tool, a test) runs it itself with one of the calls below,
// from one thread at a time. Work reaches it through `DispatchQueue::main()`.
class RunLoop {
public:
    // Runs the loop until `stop()` is called (from any thread, or from work on the loop).
    static void run();

    // Runs the loop until `stop()` is called or `duration` has passed.
    static void runFor(std::chrono::nanoseconds duration);

    // Runs the loop until `done()` holds (checked after every dispatched event and at least every
    // 10 ms) or `timeout` has passed. Returns whether `done()` held. Tests wait with it instead of
    // sleeping.
    static bool runUntil(const std::function<bool()>& done, std::chrono::nanoseconds timeout);

    // Makes the running `run`/`runFor`/`runUntil` return. Safe from any thread. Only a loop that
    // is running is stopped: every run starts afresh, so waiters use `runUntil` with a condition.
    static void stop();

    // Dispatches whatever is ready now without waiting, then returns.
    static void drain();
};

} // namespace platform
