// The application with a harness: the real start-up, then one action once the window is set up.
//
//   velotrack-app-driver press            presses the button
//   velotrack-app-driver press-close      presses the button, then closes the window at once
//   velotrack-app-driver close            closes the window
//   velotrack-app-driver grab <file.png>  saves a picture of the window and quits
//   velotrack-app-driver drop-grab <document> <startup.png> <project.png>
//                                         drags the document over the window (picture), drops
//                                         it, and saves a picture of the project window
//
// The process's exit status is the application's own.

#include "ApplicationMain.h"
#include "ProjectWindow.h"
#include "StartupWindow.h"
#include "Velotrack.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <cstdio>
#include <string>

namespace {

// The loaded project window, once there is one.
velotrack::ProjectWindow* loadedProjectWindow() {
    for (auto* widget : QApplication::topLevelWidgets()) {
        auto* window = dynamic_cast<velotrack::ProjectWindow*>(widget);
        if (window && !window->isLoading()) {
            return window;
        }
    }
    return nullptr;
}

void grabWhenLoaded(const QString& file) {
    QTimer::singleShot(100, [file] {
        auto* window = loadedProjectWindow();
        if (!window) {
            grabWhenLoaded(file);
            return;
        }
        QTimer::singleShot(300, window, [window, file] {
            QCoreApplication::exit(window->grab().save(file, "PNG") ? 0 : 1);
        });
    });
}

velotrack::LaunchHook dropAndGrab(const std::string& document, const std::string& startupFile,
                                  const std::string& projectFile) {
    return [=](velotrack::Velotrack&, velotrack::StartupWindow& window) {
        auto* mimeData = new QMimeData;
        mimeData->setUrls({QUrl::fromLocalFile(QString::fromStdString(document))});
        QDragEnterEvent enter(QPoint(260, 170), Qt::CopyAction, mimeData, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &enter);
        QTimer::singleShot(300, &window, [&window, mimeData, startupFile, projectFile] {
            window.grab().save(QString::fromStdString(startupFile), "PNG");
            QDropEvent drop(QPointF(260, 170), Qt::CopyAction, mimeData, Qt::LeftButton,
                            Qt::NoModifier);
            QCoreApplication::sendEvent(&window, &drop);
            delete mimeData;
            grabWhenLoaded(QString::fromStdString(projectFile));
        });
    };
}

velotrack::LaunchHook hookFor(const std::string& action, const std::string& argument) {
    if (action == "press") {
        return [](velotrack::Velotrack&, velotrack::StartupWindow& window) {
            window.actionButton()->click();
        };
    }
    if (action == "press-close") {
        return [](velotrack::Velotrack&, velotrack::StartupWindow& window) {
            window.actionButton()->click();
            window.close();
        };
    }
    if (action == "close") {
        return [](velotrack::Velotrack&, velotrack::StartupWindow& window) { window.close(); };
    }
    if (action == "grab" && !argument.empty()) {
        return [argument](velotrack::Velotrack&, velotrack::StartupWindow& window) {
            // Let the window lay itself out and paint once before the picture is taken.
            QTimer::singleShot(200, &window, [&window, argument] {
                const bool saved = window.grab().save(QString::fromStdString(argument), "PNG");
                QCoreApplication::exit(saved ? 0 : 1);
            });
        };
    }
    return {};
}

} // namespace

int main(int argc, char** argv) {
    const std::string action = argc > 1 ? argv[1] : "";
    const std::string argument = argc > 2 ? argv[2] : "";
    const auto hook = action == "drop-grab" && argc > 4 ? dropAndGrab(argument, argv[3], argv[4])
                                                        : hookFor(action, argument);
    if (!hook) {
        std::fprintf(stderr, "usage: velotrack-app-driver press|press-close|close|grab <file>|"
                             "drop-grab <document> <startup.png> <project.png>\n");
        return 2;
    }
    return velotrack::applicationMain(argc, argv, hook);
}
