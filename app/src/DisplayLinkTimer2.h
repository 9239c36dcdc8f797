#pragma once

#include <QObject>
#include <QPointer>
#include <chrono>
#include <functional>
#include <kvntime/TimerModel.h>

class QWidget;
class QWindow;

namespace velotrack {

// A timer driven by a view's own display refresh: the window holding the view is its display
// link. Each frame the window is asked for (`QWindow::requestUpdate`, which the platform paces at
// the screen's refresh) calls the event handler on the main thread and asks for the next frame
// while the timer is resumed. A view that has no window yet gets one when the timer is made.
// Lives and is used on the main thread only, like the view.
class DisplayLinkTimer2 final : public QObject, public kvntime::TimerModel {
public:
    DisplayLinkTimer2(QWidget& view, std::function<void()> eventHandler);
    // Logs "* { DisplayLinkTimer2 }" at the debug level and lets go of the link.
    ~DisplayLinkTimer2() override;

    std::function<void()> eventHandler() const override { return eventHandler_; }
    void setEventHandler(std::function<void()> handler) override;
    kvntime::TimerState state() const override { return state_; }
    // The link's frame period: one over its screen's refresh rate; 0 without a link.
    double timeInterval() const override;
    void resume() override;
    void suspend() override;

    // Monotonic seconds at the last frame; 0 before the first one or without a link.
    double timestamp() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> eventHandler_;
    kvntime::TimerState state_ = kvntime::TimerState::suspended;
    QPointer<QWindow> displayLink_;
    std::chrono::steady_clock::time_point lastFrame_{};
};

} // namespace velotrack
