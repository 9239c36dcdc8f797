#include "Velotrack.h"

#include "AppcastUpdater.h"
#include "ClosureMenuItem.h"
#include "MainMenu.h"
#include "MessageBoxUserDriver.h"
#include "koltutils/Log.h"
#include "kvninterchange/ExportApplication.h"
#include "platform/Workspace.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <chrono>
#include <cstdlib>

namespace velotrack {
namespace {

using kvninterchange::ExportApplication;

// How long the application stays after handing over to the editor.
constexpr std::chrono::nanoseconds handOffDelay{1'000'000'000};

QString qText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QPalette darkPalette() {
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(0x1e, 0x1e, 0x1e));
    palette.setColor(QPalette::WindowText, QColor(0xe8, 0xe8, 0xe8));
    palette.setColor(QPalette::Base, QColor(0x2a, 0x2a, 0x2a));
    palette.setColor(QPalette::Text, QColor(0xe8, 0xe8, 0xe8));
    palette.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3a));
    palette.setColor(QPalette::ButtonText, QColor(0xe8, 0xe8, 0xe8));
    palette.setColor(QPalette::Highlight, QColor(0x0a, 0x84, 0xff));
    return palette;
}

QPalette lightPalette() {
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(0xec, 0xec, 0xec));
    palette.setColor(QPalette::WindowText, QColor(0x1d, 0x1d, 0x1f));
    palette.setColor(QPalette::Button, QColor(0xf5, 0xf5, 0xf7));
    palette.setColor(QPalette::ButtonText, QColor(0x1d, 0x1d, 0x1f));
    palette.setColor(QPalette::Highlight, QColor(0x0a, 0x84, 0xff));
    return palette;
}

void showImage(QLabel& view, const QImage& image) {
    view.setPixmap(QPixmap::fromImage(image).scaled(view.size(), Qt::KeepAspectRatio,
                                                    Qt::SmoothTransformation));
}

void centreOnScreen(QWidget& window) {
    const auto* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        return;
    }
    auto frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

InstalledVersion installedVersion(const BundleProperties& properties) {
    const auto& version = properties.applicationVersion;
    return {properties.displayName(), properties.appVersionBuild.value_or(""),
            std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
                std::to_string(version.patch)};
}

} // namespace

Velotrack::Services Velotrack::defaultServices() {
    return {
        &platform::Workspace::shared(),
        [](int status) { QCoreApplication::exit(status); },
        [](UpdaterDelegate& delegate) -> std::unique_ptr<Updater> {
            return std::make_unique<AppcastUpdater>(
                delegate, installedVersion(AppProperties::bundleProperties()),
                std::make_unique<MessageBoxUserDriver>());
        },
        ImageAssets::mainBundle(),
    };
}

Velotrack::Velotrack(Services services) : services_(std::move(services)) {}

Velotrack::~Velotrack() = default;

void Velotrack::connectInterface(StartupWindow& startupWindow) {
    window = &startupWindow;
    textField = startupWindow.textField();
    actionButton = startupWindow.actionButton();
    imageView = startupWindow.imageView();
    kvnImageView = startupWindow.kvnImageView();
    connect(actionButton, &QPushButton::clicked, this, [this] { handleAction(); });
}

void Velotrack::applicationDidFinishLaunching() {
    if (window) {
        window->setWindowTitle(qText(displayName() + " for Final Cut Pro"));
        window->setPalette(darkPalette());
        window->setAutoFillBackground(true);
    }
    if (actionButton) {
        actionButton->setPalette(lightPalette());
    }
    if (window) {
        centreOnScreen(*window);
        window->show();
        QPointer<Velotrack> delegate(this);
        window->setWillCloseHandler([delegate] {
            if (delegate) {
                delegate->windowWillClose();
            }
        });
    }
    if (kvnImageView) {
        if (const auto logo = services_.images.named("kvn-app")) {
            showImage(*kvnImageView, *logo);
        }
    }
    showEditorState();
    initUpdater();
}

void Velotrack::showEditorState() {
    if (kvninterchange::isInstalled(ExportApplication::finalCutPro, *services_.workspace)) {
        if (actionButton) {
            actionButton->setText(QStringLiteral("Open Final Cut Pro"));
        }
        if (textField) {
            textField->setText(qText("The " + displayName() +
                                     " workspace extension is now installed. You can find it in "
                                     "the Window → Extensions menu of Final Cut Pro."));
        }
        return;
    }
    if (actionButton) {
        actionButton->setText(QStringLiteral("Get Final Cut Pro"));
    }
    if (textField) {
        textField->setText(qText(info.notInstalledString));
    }
    if (imageView) {
        if (const auto icon = services_.images.named(image(ExportApplication::finalCutPro))) {
            showImage(*imageView, *icon);
        }
    }
}

void Velotrack::applicationWillTerminate() {
    KOLT_LOG_DEBUG("applicationWillTerminate(_:)", "*");
}

void Velotrack::windowWillClose() {
    services_.terminate(0);
}

void Velotrack::handleAction() {
    if (!kvninterchange::isInstalled(ExportApplication::finalCutPro, *services_.workspace)) {
        kvninterchange::download(ExportApplication::finalCutPro, *services_.workspace);
        return;
    }
    kvninterchange::open(ExportApplication::finalCutPro, *services_.workspace);
    // The event loop keeps running meanwhile, so the window stays responsive.
    QTimer::singleShot(std::chrono::duration_cast<std::chrono::milliseconds>(handOffDelay), this,
                       [this] { services_.terminate(0); });
}

UpdaterController& Velotrack::updaterController() {
    if (!updaterController_) {
        updaterController_ = std::make_unique<UpdaterController>(*this, services_.makeUpdater);
    }
    return *updaterController_;
}

void Velotrack::initUpdater() {
    addCheckForUpdatesItem();
    auto& updater = updaterController().updater();
    updater.setAutomaticallyChecksForUpdates(true);
    updater.setUpdateCheckInterval(std::chrono::seconds(0));
    if (const auto error = updater.startUpdater()) {
        KOLT_LOG_ERROR("initUpdater()", *error);
    }
}

void Velotrack::addCheckForUpdatesItem() {
    auto* applicationItem = window ? mainMenuItem(*window->menuBar(), productName) : nullptr;
    if (!applicationItem) {
        KOLT_LOG_ERROR("initUpdater()", "Didn't find", productName);
        return;
    }
    auto* menu = applicationItem->menu();
    if (!menu) {
        return;
    }
    const auto items = menu->actions();
    auto* separator = new QAction(menu);
    separator->setSeparator(true);
    // Directly under the first item, usually the about entry.
    auto* under = items.size() > 1 ? items.at(1) : nullptr;
    menu->insertAction(under, separator);
    QPointer<Velotrack> delegate(this);
    auto* checkItem = new ClosureMenuItem(
        QStringLiteral("Check For Updates..."),
        [delegate] {
            if (delegate) {
                delegate->updaterController().updater().checkForUpdates();
            }
        },
        menu);
    menu->insertAction(under, checkItem);
}

std::string Velotrack::feedURLString() const {
    if (const char* override = std::getenv("VELOTRACK_APPCAST_URL"); override && *override) {
        return override;
    }
    return std::string(defaultFeedURLString);
}

bool Velotrack::mayPerformUpdateCheck(UpdateCheck /*check*/) const {
    return true;
}

} // namespace velotrack
