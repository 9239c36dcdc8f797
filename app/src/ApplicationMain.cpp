#include "ApplicationMain.h"

#include "ProjectWindows.h"
#include "QtOpenPanel.h"
#include "ShareScripting.h"
#include "StartupWindow.h"
#include "Velotrack.h"
#include "WorkspaceExtension.h"

#include <QApplication>
#include <QMessageBox>
#include <QStyleFactory>
#include <QTimer>

namespace velotrack {
namespace {

void showAbout(StartupWindow& window, const BundleProperties& properties) {
    const auto name = QString::fromStdString(properties.displayName());
    auto text = name + QStringLiteral(" ") +
                QString::fromStdString(properties.appVersionBuild.value_or(""));
    if (properties.appCopyright) {
        text += QStringLiteral("\n") + QString::fromStdString(*properties.appCopyright);
    }
    QMessageBox::about(&window, QStringLiteral("About ") + name, text);
}

} // namespace

int applicationMain(int& argc, char** argv, const LaunchHook& afterLaunch) {
    QApplication application(argc, argv);
    // One look on every desktop, which also honours the palettes the delegate sets.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    StartupWindow window;
    Velotrack delegate;
    delegate.connectInterface(window);
    // Folder requests of the utilities show the desktop's own chooser.
    platform::OpenPanel::setShared(std::make_shared<QtOpenPanel>(&window));
    // The editor's share command reaches the application over the session bus.
    ShareScripting scripting(&window);
    // Declared after the window: project windows go first when the application ends.
    ProjectWindows projects;
    projects.installOn(window);
    QObject::connect(window.aboutItem(), &QAction::triggered, &window,
                     [&] { showAbout(window, delegate.info.buildProperties); });
    QObject::connect(&application, &QCoreApplication::aboutToQuit, &delegate,
                     [&] { delegate.applicationWillTerminate(); });

    QTimer::singleShot(0, &delegate, [&] {
        delegate.applicationDidFinishLaunching();
        // The start-up window promises the editor lists the extension; the registry makes it so.
        WorkspaceExtension::registerInBackground(WorkspaceExtension::bundledExtension());
        if (afterLaunch) {
            afterLaunch(delegate, window);
        }
    });
    const int status = QApplication::exec();
    // The panel's dialogs belong to the window, which ends here.
    platform::OpenPanel::setShared(nullptr);
    return status;
}

} // namespace velotrack
