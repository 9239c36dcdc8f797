#include "DisplayLinkTimer2.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <koltutils/Log.h>

namespace velotrack {

namespace {

QWindow* displayLinkOf(QWidget& view) {
    QWidget* top = view.window();
    // Creating the native window makes the link exist before the view is first shown.
    top->winId();
    return top->windowHandle();
}

} // namespace

DisplayLinkTimer2::DisplayLinkTimer2(QWidget& view, std::function<void()> eventHandler)
    : eventHandler_(std::move(eventHandler)), displayLink_(displayLinkOf(view)) {}

DisplayLinkTimer2::~DisplayLinkTimer2() {
    KOLT_LOG_DEBUG("deinit", "* { DisplayLinkTimer2 }");
    if (displayLink_) {
        displayLink_->removeEventFilter(this);
    }
}

void DisplayLinkTimer2::setEventHandler(std::function<void()> handler) {
    eventHandler_ = std::move(handler);
}

double DisplayLinkTimer2::timeInterval() const {
    if (!displayLink_ || displayLink_->screen() == nullptr ||
        displayLink_->screen()->refreshRate() <= 0) {
        return 0;
    }
    return 1.0 / displayLink_->screen()->refreshRate();
}

void DisplayLinkTimer2::resume() {
    if (state_ == kvntime::TimerState::resumed || !displayLink_) {
        return;
    }
    displayLink_->installEventFilter(this);
    state_ = kvntime::TimerState::resumed;
    displayLink_->requestUpdate();
}

void DisplayLinkTimer2::suspend() {
    if (state_ == kvntime::TimerState::suspended) {
        return;
    }
    if (displayLink_) {
        displayLink_->removeEventFilter(this);
    }
    state_ = kvntime::TimerState::suspended;
}

double DisplayLinkTimer2::timestamp() const {
    if (!displayLink_ || lastFrame_ == std::chrono::steady_clock::time_point{}) {
        return 0;
    }
    return std::chrono::duration<double>(lastFrame_.time_since_epoch()).count();
}

bool DisplayLinkTimer2::eventFilter(QObject* watched, QEvent* event) {
    if (watched == displayLink_ && event->type() == QEvent::UpdateRequest &&
        state_ == kvntime::TimerState::resumed) {
        lastFrame_ = std::chrono::steady_clock::now();
        if (eventHandler_) {
            eventHandler_();
        }
        // The handler may have suspended the timer or released the window.
        if (state_ == kvntime::TimerState::resumed && displayLink_) {
            displayLink_->requestUpdate();
        }
    }
    // The window still paints its frame.
    return false;
}

} // namespace velotrack
