#pragma once

#include "ProjectIntake.h"
#include "ProjectWindow.h"

#include <QObject>
#include <QPointer>
#include <vector>

class QAction;

namespace velotrack {

class StartupWindow;

// The application's project windows and the ways documents come in: drops on the start-up
// window, "Open…" and "Paste FCPXML" in the application menu. The windows live until they are
// closed or this object goes (with the start-up window, which ends the application).
class ProjectWindows final : public QObject {
public:
    ProjectWindows() = default;
    ~ProjectWindows() override;

    // Accepts drops on the window and adds the two menu items to its application menu.
    void installOn(StartupWindow& window);

    // Opens a window for the source at once and reads the document on a background queue.
    ProjectWindow* open(const ProjectSource& source);
    // Opens what the clipboard holds, if it is FCPXML.
    void paste();
    // Asks for ".fcpxml" files and ".fcpxmld" bundles, then opens them.
    void showOpenPanel(QWidget* parent);

    // Shown over the start-up window while a drag it can open hovers over it.
    QWidget* dropHighlight() const noexcept { return dropHighlight_.data(); }
    // The windows still open, in the order they were opened.
    std::vector<ProjectWindow*> windows() const;
    QAction* openItem() const noexcept { return openItem_; }
    QAction* pasteItem() const noexcept { return pasteItem_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updatePasteItem();

    std::vector<QPointer<ProjectWindow>> windows_;
    QAction* openItem_ = nullptr;
    QAction* pasteItem_ = nullptr;
    QPointer<QWidget> dropHighlight_;
};

} // namespace velotrack
