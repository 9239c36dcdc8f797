#include "ProjectWindows.h"

#include "BundleProperties.h"
#include "MainMenu.h"
#include "MimePasteboard.h"
#include "StartupWindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <memory>
#include <platform/DispatchQueue.h>

namespace velotrack {

namespace {

bool mayHoldProject(const QMimeData& mimeData) {
    for (const auto& url : mimeData.urls()) {
        if (url.isLocalFile() && isProjectPath(url.toLocalFile().toStdString())) {
            return true;
        }
    }
    // formats() returns a new list on every call: one list serves both ends of the search.
    const QStringList formats = mimeData.formats();
    return mimeData.hasText() ||
           std::any_of(formats.begin(), formats.end(), [](const QString& format) {
               return format.startsWith(QStringLiteral("application/x-com.apple."
                                                       "finalcutpro.xml"));
           });
}

// Drawn over the start-up window only while a drag that can be opened hovers over it; the
// window itself keeps its look.
class DropHighlight final : public QWidget {
public:
    explicit DropHighlight(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }

    void cover() {
        setGeometry(parentWidget()->rect());
        raise();
        show();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QColor accent(88, 166, 255);
        painter.setPen(QPen(accent, 3, Qt::DashLine));
        painter.setBrush(QColor(88, 166, 255, 40));
        painter.drawRoundedRect(rect().adjusted(6, 6, -6, -6), 12, 12);
        QFont font = painter.font();
        font.setPixelSize(15);
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(accent);
        painter.drawText(rect().adjusted(0, 34, 0, 0), Qt::AlignHCenter | Qt::AlignTop,
                         QStringLiteral("Drop to open the project"));
    }
};

bool isBundleFolder(const QString& path) {
    return path.endsWith(QStringLiteral(".fcpxmld"), Qt::CaseInsensitive) &&
           QFileInfo(path).isDir();
}

// Qt's file dialog enters folders, and a bundle is a folder. This panel takes a bundle chosen with
// Open, or entered with a double click, as the document it is, as the editor's own panels do;
// only Qt's own dialog says when a folder is entered.
class DocumentOpenPanel final : public QFileDialog {
public:
    explicit DocumentOpenPanel(QWidget* parent)
        : QFileDialog(parent, QStringLiteral("Open"), QString(),
                      QStringLiteral("FCPXML documents (*.fcpxml *.fcpxmld)")) {
        setFileMode(ExistingFiles);
        setOption(DontUseNativeDialog, true);
        connect(this, &QFileDialog::directoryEntered, this, [this](const QString& folder) {
            if (isBundleFolder(folder)) {
                choose({folder});
            }
        });
    }

    // After an accepted exec(): the documents to open.
    QStringList chosenFiles() const { return chosen_.isEmpty() ? selectedFiles() : chosen_; }

    void accept() override {
        const QStringList files = selectedFiles();
        if (std::any_of(files.begin(), files.end(), isBundleFolder)) {
            choose(files);
            return;
        }
        QFileDialog::accept();
    }

private:
    // QDialog's ending, not QFileDialog's: that one would enter the folder again.
    void choose(QStringList files) {
        chosen_ = std::move(files);
        QDialog::done(Accepted);
    }

    QStringList chosen_;
};

} // namespace

ProjectWindows::~ProjectWindows() {
    for (const auto& window : windows_) {
        delete window.data();
    }
}

void ProjectWindows::installOn(StartupWindow& window) {
    window.setAcceptDrops(true);
    window.installEventFilter(this);
    dropHighlight_ = new DropHighlight(&window);

    auto* menuItem = mainMenuItem(*window.menuBar(), productName);
    QMenu* menu = menuItem ? menuItem->menu() : nullptr;
    if (!menu) {
        return;
    }
    QAction* first = menu->actions().value(0);
    openItem_ = new QAction(QStringLiteral("Open…"), menu);
    openItem_->setShortcut(QKeySequence::Open);
    pasteItem_ = new QAction(QStringLiteral("Paste FCPXML"), menu);
    pasteItem_->setShortcut(QKeySequence::Paste);
    menu->insertAction(first, openItem_);
    menu->insertAction(first, pasteItem_);
    menu->insertSeparator(first);
    connect(openItem_, &QAction::triggered, this, [this, &window] { showOpenPanel(&window); });
    connect(pasteItem_, &QAction::triggered, this, [this] { paste(); });
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            [this] { updatePasteItem(); });
    connect(menu, &QMenu::aboutToShow, this, [this] { updatePasteItem(); });
    updatePasteItem();
}

void ProjectWindows::updatePasteItem() {
    if (!pasteItem_) {
        return;
    }
    const QMimeData* mimeData = QGuiApplication::clipboard()->mimeData();
    pasteItem_->setEnabled(mimeData &&
                           sourceFromPasteboard(pasteboardFromMimeData(*mimeData)).has_value());
}

ProjectWindow* ProjectWindows::open(const ProjectSource& source) {
    std::erase_if(windows_, [](const QPointer<ProjectWindow>& open) { return open.isNull(); });
    auto* window = new ProjectWindow(source.title);
    windows_.emplace_back(window);
    window->show();

    // The engine reads on a background queue; the window gets the result on the main queue,
    // if it is still open by then.
    QPointer<ProjectWindow> target(window);
    platform::DispatchQueue::global(platform::QualityOfService::userInitiated)
        ->async([source, target]() mutable {
            auto content = std::make_shared<ProjectContent>(loadProjectContent(source));
            platform::DispatchQueue::main()->async([target = std::move(target), content] {
                if (target) {
                    target->showContent(std::move(*content));
                }
            });
        });
    return window;
}

void ProjectWindows::paste() {
    const QMimeData* mimeData = QGuiApplication::clipboard()->mimeData();
    if (!mimeData) {
        return;
    }
    if (const auto source = sourceFromPasteboard(pasteboardFromMimeData(*mimeData))) {
        open(*source);
    }
}

void ProjectWindows::showOpenPanel(QWidget* parent) {
    DocumentOpenPanel panel(parent);
    if (panel.exec() != QDialog::Accepted) {
        return;
    }
    for (const auto& file : panel.chosenFiles()) {
        const std::filesystem::path path = file.toStdString();
        open({path, std::nullopt, path.filename().string()});
    }
}

std::vector<ProjectWindow*> ProjectWindows::windows() const {
    std::vector<ProjectWindow*> open;
    for (const auto& window : windows_) {
        if (window) {
            open.push_back(window.data());
        }
    }
    return open;
}

bool ProjectWindows::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (drag->mimeData() && mayHoldProject(*drag->mimeData())) {
            drag->acceptProposedAction();
            if (dropHighlight_) {
                static_cast<DropHighlight*>(dropHighlight_.data())->cover();
            }
            return true;
        }
    } else if (event->type() == QEvent::DragLeave) {
        if (dropHighlight_) {
            dropHighlight_->hide();
        }
    } else if (event->type() == QEvent::Drop) {
        if (dropHighlight_) {
            dropHighlight_->hide();
        }
        auto* drop = static_cast<QDropEvent*>(event);
        if (drop->mimeData()) {
            const auto sources = sourcesFromDrop(MimeDraggingInfo(*drop->mimeData()));
            for (const auto& source : sources) {
                open(source);
            }
            if (!sources.empty()) {
                drop->acceptProposedAction();
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace velotrack
