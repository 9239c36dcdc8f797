#include "ClosureMenuItem.h"

namespace velotrack {

ClosureMenuItem::ClosureMenuItem(const QString& title, std::function<void()> closure,
                                 QObject* parent)
    : QAction(title, parent), closure_(std::move(closure)) {
    connect(this, &QAction::triggered, this, [this] {
        if (closure_) {
            closure_();
        }
    });
}

} // namespace velotrack
