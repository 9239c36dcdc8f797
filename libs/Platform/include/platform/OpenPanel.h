#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The platform's modal "open" panel. The application installs a dialog-backed panel; headless
// programs have none, and tests install a ScriptedOpenPanel.
class OpenPanel {
public:
    struct Configuration {
        bool canChooseFiles = true;
        bool canChooseDirectories = false;
        bool allowsMultipleSelection = false;
        // Shown as the panel's title (and message where the panel has one).
        std::string message;
        // The folder the panel opens in; none leaves the choice to the panel.
        std::optional<std::filesystem::path> directoryURL;

        bool operator==(const Configuration&) const = default;
    };

    OpenPanel() = default;
    OpenPanel(const OpenPanel&) = delete;
    OpenPanel& operator=(const OpenPanel&) = delete;
    virtual ~OpenPanel() = default;

    // Shows the panel and waits for the user. Returns the chosen locations when the user
    // confirms, none when the panel was dismissed.
    virtual std::optional<std::vector<std::filesystem::path>>
    runModal(const Configuration& configuration) = 0;

    // The panel the process uses; none until one is installed. Safe from any thread.
    static std::shared_ptr<OpenPanel> shared();
    static void setShared(std::shared_ptr<OpenPanel> panel);
};

// Answers every request with the answer it was given and remembers what it was asked.
class ScriptedOpenPanel final : public OpenPanel {
public:
    explicit ScriptedOpenPanel(std::optional<std::vector<std::filesystem::path>> answer)
        : answer_(std::move(answer)) {}

    std::optional<std::vector<std::filesystem::path>>
    runModal(const Configuration& configuration) override {
        requests_.push_back(configuration);
        return answer_;
    }

    const std::vector<Configuration>& requests() const { return requests_; }

private:
    std::optional<std::vector<std::filesystem::path>> answer_;
    std::vector<Configuration> requests_;
};

} // namespace platform
