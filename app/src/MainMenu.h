#pragma once

#include <string_view>

class QAction;
class QMenuBar;

namespace velotrack {

// The top-level item of the main menu whose title is exactly `title`, or nullptr.
QAction* mainMenuItem(const QMenuBar& mainMenu, std::string_view title);

} // namespace velotrack
