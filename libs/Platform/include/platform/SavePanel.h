#pragma once

#include <deque>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// What a save panel shows when it opens.
struct SavePanelOptions {
    std::string title;
    std::filesystem::path directory;
    std::string nameFieldStringValue;
    // Content type identifiers ("com.apple.quicktime-movie"); empty allows any file.
    std::vector<std::string> allowedContentTypes;
    bool canCreateDirectories = false;

    bool operator==(const SavePanelOptions&) const = default;
};

// A modal save panel: the file the user confirmed, or none when the user cancelled. The
// application shows a window; tests and headless programs answer from a script.
class SavePanel {
public:
    SavePanel() = default;
    virtual ~SavePanel() = default;
    SavePanel(const SavePanel&) = delete;
    SavePanel& operator=(const SavePanel&) = delete;

    virtual std::optional<std::filesystem::path> runModal(const SavePanelOptions& options) = 0;
};

// Answers with the queued answers in order (a queued none is a cancel; an empty queue cancels)
// and keeps every request it was shown.
class ScriptedSavePanel final : public SavePanel {
public:
    void enqueue(std::optional<std::filesystem::path> answer);
    std::vector<SavePanelOptions> requests() const;

    std::optional<std::filesystem::path> runModal(const SavePanelOptions& options) override;

private:
    mutable std::mutex mutex_;
    std::deque<std::optional<std::filesystem::path>> answers_;
    std::vector<SavePanelOptions> requests_;
};

} // namespace platform
