#pragma once

#include <kvnfcpx/share/ShareScriptingService.h>
#include <platform/SavePanel.h>

class QWidget;

namespace velotrack {

// The share command's save panel in the application: a modal Qt save dialog.
class QtSavePanel final : public platform::SavePanel {
public:
    explicit QtSavePanel(QWidget* parent = nullptr) : parent_(parent) {}
    std::optional<std::filesystem::path>
    runModal(const platform::SavePanelOptions& options) override;

private:
    QWidget* parent_;
};

// The application's scripting interface on the session bus while it runs: the editor's make
// command arrives here. A bus that cannot be reached is logged; the application runs on.
class ShareScripting {
public:
    explicit ShareScripting(QWidget* dialogParent = nullptr);
    ~ShareScripting();
    ShareScripting(const ShareScripting&) = delete;
    ShareScripting& operator=(const ShareScripting&) = delete;

    bool isServing() const { return service_.isRunning(); }

private:
    kvnfcpx::ShareScriptingService service_;
};

} // namespace velotrack
