#include "MainMenu.h"

#include <QAction>
#include <QMenuBar>

namespace velotrack {

QAction* mainMenuItem(const QMenuBar& mainMenu, std::string_view title) {
    const auto wanted = QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size()));
    for (auto* item : mainMenu.actions()) {
        if (item->text() == wanted) {
            return item;
        }
    }
    return nullptr;
}

} // namespace velotrack
