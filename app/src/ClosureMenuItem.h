#pragma once

#include <QAction>
#include <functional>

namespace velotrack {

// A menu item whose action runs a stored closure. It has no key equivalent and no alternate for
// the shift key.
class ClosureMenuItem final : public QAction {
public:
    ClosureMenuItem(const QString& title, std::function<void()> closure, QObject* parent = nullptr);

private:
    std::function<void()> closure_;
};

} // namespace velotrack
