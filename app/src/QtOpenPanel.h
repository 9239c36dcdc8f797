#pragma once

#include <platform/OpenPanel.h>

class QWidget;

namespace velotrack {

// The platform's open panel in the application: a modal Qt file dialog, so that a folder request
// of the utilities (FileSystem::requestDirectory) shows the desktop's own chooser.
class QtOpenPanel final : public platform::OpenPanel {
public:
    explicit QtOpenPanel(QWidget* parent = nullptr) : parent_(parent) {}

    std::optional<std::vector<std::filesystem::path>>
    runModal(const Configuration& configuration) override;

private:
    QWidget* parent_;
};

} // namespace velotrack
