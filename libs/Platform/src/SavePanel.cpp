#include "platform/SavePanel.h"

namespace platform {

void ScriptedSavePanel::enqueue(std::optional<std::filesystem::path> answer) {
    std::lock_guard lock(mutex_);
    answers_.push_back(std::move(answer));
}

std::vector<SavePanelOptions> ScriptedSavePanel::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

std::optional<std::filesystem::path> ScriptedSavePanel::runModal(const SavePanelOptions& options) {
    std::lock_guard lock(mutex_);
    requests_.push_back(options);
    if (answers_.empty()) {
        return std::nullopt;
    }
    auto answer = std::move(answers_.front());
    answers_.pop_front();
    return answer;
}

} // namespace platform
