#include "platform/OpenPanel.h"

#include <mutex>

namespace platform {

namespace {

std::mutex sharedPanelMutex;
std::shared_ptr<OpenPanel>& sharedPanel() {
    static std::shared_ptr<OpenPanel> panel;
    return panel;
}

} // namespace

std::shared_ptr<OpenPanel> OpenPanel::shared() {
    std::lock_guard lock(sharedPanelMutex);
    return sharedPanel();
}

void OpenPanel::setShared(std::shared_ptr<OpenPanel> panel) {
    std::lock_guard lock(sharedPanelMutex);
    sharedPanel() = std::move(panel);
}

} // namespace platform
