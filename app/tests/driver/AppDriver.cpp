// The application with a harness: the real start-up, then one action once the window is set up.
//
//   velotrack-app-driver press            presses the button
//   velotrack-app-driver press-close      presses the button, then closes the window at once
//   velotrack-app-driver close            closes the window
//   velotrack-app-driver grab <file.png>  saves a picture of the window and quits
//
// The process's exit status is the application's own.

#include "ApplicationMain.h"
#include "StartupWindow.h"
#include "Velotrack.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <string>

namespace {

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
    const auto hook = hookFor(action, argument);
    if (!hook) {
        std::fprintf(stderr, "usage: velotrack-app-driver press|press-close|close|grab <file>\n");
        return 2;
    }
    return velotrack::applicationMain(argc, argv, hook);
}
