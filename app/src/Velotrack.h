#pragma once

#include "ImageAssets.h"
#include "StartupWindow.h"
#include "UpdaterController.h"
#include "VelotrackInfo.h"

#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QPushButton>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace platform {
class Workspace;
}

namespace velotrack {

// The update feed when VELOTRACK_APPCAST_URL names no other (a file URL serves offline use).
inline constexpr std::string_view defaultFeedURLString =
    "https://korvane.com/velotrack-light/appcast.xml";

// The application delegate: fills the start-up window, hands over to Final Cut Pro, ends the
// process, and answers the updater. Everything runs on the event-loop thread.
class Velotrack final : public QObject, public UpdaterDelegate {
public:
    // What the delegate reaches outside itself; tests replace parts of it.
    struct Services {
        const platform::Workspace* workspace = nullptr;
        // Ends the process with a status.
        std::function<void(int status)> terminate;
        UpdaterController::UpdaterFactory makeUpdater;
        ImageAssets images{{}};
    };
    // The machine's workspace, the event loop's exit, the appcast updater with dialogs, the
    // main bundle's images.
    static Services defaultServices();

    explicit Velotrack(Services services = defaultServices());
    ~Velotrack() override;

    // The interface's parts; any may be missing, and the steps that need it are skipped.
    QPointer<StartupWindow> window;
    QPointer<QLabel> textField;
    QPointer<QPushButton> actionButton;
    QPointer<QLabel> imageView;
    QPointer<QLabel> kvnImageView;
    VelotrackInfo info;

    // Takes the window's parts as the interface lays them out.
    void connectInterface(StartupWindow& startupWindow);

    void applicationDidFinishLaunching();
    void applicationWillTerminate();
    bool applicationSupportsSecureRestorableState() const noexcept { return true; }
    void windowWillClose();
    // The button: opens the editor and ends one second later, or opens its download page.
    void handleAction();

    // Made on first use, then the same one for the life of the delegate.
    UpdaterController& updaterController();
    // Adds "Check For Updates..." to the application menu and starts automatic checking.
    void initUpdater();

    std::string displayName() const { return info.buildProperties.displayName(); }

    std::string feedURLString() const override;
    bool mayPerformUpdateCheck(UpdateCheck check) const override;

private:
    void showEditorState();
    void addCheckForUpdatesItem();

    Services services_;
    std::unique_ptr<UpdaterController> updaterController_;
};

} // namespace velotrack
