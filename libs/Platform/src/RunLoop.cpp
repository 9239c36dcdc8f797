#include "platform/RunLoop.h"

#include <atomic>
#include <glib.h>

namespace platform {

namespace {

std::atomic<bool> stopRequested{false};

gboolean wakeUp(gpointer) {
    return G_SOURCE_CONTINUE;
}

// Iterates the default context until `done` holds, a stop arrives or the deadline passes. A
// short repeating wake-up makes sure conditions that change on other threads and the deadline
// are seen even when no event arrives.
bool iterate(const std::function<bool()>& done, gint64 deadline) {
    GMainContext* context = g_main_context_default();
    stopRequested.store(false);
    GSource* ticker = g_timeout_source_new(10);
    g_source_set_callback(ticker, wakeUp, nullptr, nullptr);
    g_source_attach(ticker, context);
    bool satisfied = done();
    while (!satisfied && !stopRequested.load() && g_get_monotonic_time() < deadline) {
        g_main_context_iteration(context, TRUE);
        satisfied = done();
    }
    g_source_destroy(ticker);
    g_source_unref(ticker);
    return satisfied;
}

gint64 deadlineAfter(std::chrono::nanoseconds duration) {
    const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(duration).count();
    const gint64 now = g_get_monotonic_time();
    return micros >= G_MAXINT64 - now ? G_MAXINT64 : now + static_cast<gint64>(micros);
}

bool never() {
    return false;
}

} // namespace

void RunLoop::run() {
    iterate(never, G_MAXINT64);
}

void RunLoop::runFor(std::chrono::nanoseconds duration) {
    iterate(never, deadlineAfter(duration));
}

bool RunLoop::runUntil(const std::function<bool()>& done, std::chrono::nanoseconds timeout) {
    return iterate(done, deadlineAfter(timeout));
}

void RunLoop::stop() {
    stopRequested.store(true);
    g_main_context_wakeup(g_main_context_default());
}

void RunLoop::drain() {
    GMainContext* context = g_main_context_default();
    while (g_main_context_iteration(context, FALSE)) {
    }
}

} // namespace platform
