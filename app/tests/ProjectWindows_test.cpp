#include "ProjectWindows.h"
#include "StartupWindow.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <set>
#include <timeline/DocumentLoading.h>

using velotrack::ProjectWindow;
using velotrack::ProjectWindows;
using velotrack::StartupWindow;

namespace {

const std::filesystem::path examples = std::filesystem::path(VELOTRACK_SOURCE_DIR) / "examples";

std::multiset<QString> column(const QAbstractItemModel& model, const QString& title) {
    int found = -1;
    for (int index = 0; index < model.columnCount(); ++index) {
        if (model.headerData(index, Qt::Horizontal).toString() == title) {
            found = index;
        }
    }
    std::multiset<QString> cells;
    for (int row = 0; found >= 0 && row < model.rowCount(); ++row) {
        cells.insert(model.index(row, found).data().toString());
    }
    return cells;
}

std::multiset<QString> expectedClipNames(const kvnfcpx::FCPXMLDescription& description) {
    std::multiset<QString> names;
    for (const auto& clip : description.project->sequence->content->assetClips) {
        names.insert(QString::fromStdString(clip.name.value_or("-")));
    }
    return names;
}

std::multiset<QString> expectedMarkerValues(const kvnfcpx::FCPXMLDescription& description) {
    std::multiset<QString> values;
    for (const auto& marker : description.project->sequence->content->markers) {
        values.insert(QString::fromStdString(marker.value));
    }
    return values;
}

class ProjectWindowsTest : public testing::Test {
protected:
    ProjectWindowsTest() { projects_.installOn(window_); }

    // Drags the data over the start-up window and drops it, as a user's drop arrives.
    bool drop(QMimeData& mimeData) {
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mimeData, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(&window_, &enter);
        if (!enter.isAccepted()) {
            return false;
        }
        QDropEvent dropEvent(QPointF(10, 10), Qt::CopyAction, &mimeData, Qt::LeftButton,
                             Qt::NoModifier);
        QCoreApplication::sendEvent(&window_, &dropEvent);
        return dropEvent.isAccepted();
    }

    // The one window that opened, once it has finished reading.
    ProjectWindow* loadedWindow() {
        const auto windows = projects_.windows();
        EXPECT_EQ(windows.size(), 1u);
        if (windows.size() != 1) {
            return nullptr;
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return !windows[0]->isLoading(); }, 20000));
        return windows[0];
    }

    void expectShows(ProjectWindow* window, const kvnfcpx::FCPXMLDescription& description) {
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->refusalMessage().isEmpty()) << window->refusalMessage().toStdString();
        EXPECT_EQ(column(*window->clipModel(), "Name"), expectedClipNames(description));
        EXPECT_EQ(column(*window->markerModel(), "Value"), expectedMarkerValues(description));
        if (description.project->name) {
            EXPECT_EQ(window->windowTitle().toStdString(), *description.project->name);
        }
    }

    StartupWindow window_;
    ProjectWindows projects_;
};

class DroppedExample : public ProjectWindowsTest,
                       public testing::WithParamInterface<std::string> {};

TEST_P(DroppedExample, FileUrlOpensAWindowWithTheExamplesClipsAndMarkers) {
    const auto path = examples / GetParam();
    const auto expected = velotrack::timeline::loadDocumentFile(path);
    ASSERT_TRUE(expected.description) << expected.message;

    QMimeData mimeData;
    mimeData.setUrls({QUrl::fromLocalFile(QString::fromStdString(path.string()))});
    ASSERT_TRUE(drop(mimeData));
    expectShows(loadedWindow(), *expected.description);
}

INSTANTIATE_TEST_SUITE_P(Examples, DroppedExample,
                         testing::Values("coastline-trailer-1.11.fcpxml",
                                         "harbour-documentary-1.8.fcpxml",
                                         "multicam-interview.fcpxml",
                                         "synced-scene-with-compound-bed.fcpxml",
                                         "tide-tables-podcast-episode-12.fcpxmld"));

// A bundle is a folder, so a file dialog enters it rather than choosing it. Whether the user
// chooses one and presses Open or enters it with a double click, the Open panel opens it.
class OpenPanelBundle : public ProjectWindowsTest,
                        public testing::WithParamInterface<bool /* entered */> {};

TEST_P(OpenPanelBundle, OpensTheBundleAsADocument) {
    const auto bundle = examples / "tide-tables-podcast-episode-12.fcpxmld";
    const auto expected = velotrack::timeline::loadDocumentFile(bundle);
    ASSERT_TRUE(expected.description) << expected.message;
    const bool entered = GetParam();
    bool shown = false;
    QTimer::singleShot(0, [&] {
        auto* panel = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!panel) {
            return;
        }
        shown = true;
        const auto path = QString::fromStdString(bundle.string());
        if (entered) {
            // What Qt's dialog reports when a folder is double-clicked.
            emit panel->directoryEntered(path);
        } else {
            panel->selectFile(path);
            static_cast<QDialog*>(panel)->accept(); // the Open button
        }
    });
    // Should the panel stay open, the test fails instead of waiting for a user.
    QTimer::singleShot(10000, [] {
        if (auto* panel = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            panel->reject();
        }
    });
    projects_.showOpenPanel(&window_);
    ASSERT_TRUE(shown);
    expectShows(loadedWindow(), *expected.description);
}

INSTANTIATE_TEST_SUITE_P(ChosenOrEntered, OpenPanelBundle, testing::Bool());

TEST_F(ProjectWindowsTest, PastedFcpxmlTextOpensTheSameProject) {
    const auto path = examples / "harbour-documentary-1.8.fcpxml";
    std::ifstream file(path);
    const std::string text{std::istreambuf_iterator<char>(file), {}};
    const auto expected = velotrack::timeline::loadDocumentText(text);
    ASSERT_TRUE(expected.description);

    QGuiApplication::clipboard()->setText(QStringLiteral("not a project"));
    EXPECT_FALSE(projects_.pasteItem()->isEnabled());
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
    ASSERT_TRUE(projects_.pasteItem()->isEnabled());
    projects_.pasteItem()->trigger();
    expectShows(loadedWindow(), *expected.description);
}

TEST_F(ProjectWindowsTest, TheEditorsPasteboardTypeIsPreferredOverText) {
    const auto path = examples / "multicam-interview.fcpxml";
    std::ifstream file(path);
    const std::string text{std::istreambuf_iterator<char>(file), {}};
    const auto expected = velotrack::timeline::loadDocumentText(text);
    ASSERT_TRUE(expected.description);

    auto* mimeData = new QMimeData;
    mimeData->setData(QStringLiteral("application/x-com.apple.finalcutpro.xml.v1-10"),
                      QByteArray::fromStdString(text));
    mimeData->setText(QStringLiteral("Interview"));
    QGuiApplication::clipboard()->setMimeData(mimeData);
    ASSERT_TRUE(projects_.pasteItem()->isEnabled());
    projects_.paste();
    expectShows(loadedWindow(), *expected.description);
}

TEST_F(ProjectWindowsTest, ARefusedDocumentShowsTheEnginesMessage) {
    const auto folder = std::filesystem::path(VELOTRACK_BINARY_DIR) / "ProjectWindows_refused";
    std::filesystem::create_directories(folder);
    const auto path = folder / "old.fcpxml";
    std::ofstream(path)
        << "<?xml version=\"1.0\"?>\n<fcpxml version=\"1.2\"><resources/></fcpxml>\n";
    const auto expected = velotrack::timeline::loadDocumentFile(path);
    ASSERT_FALSE(expected.description);

    QMimeData mimeData;
    mimeData.setUrls({QUrl::fromLocalFile(QString::fromStdString(path.string()))});
    ASSERT_TRUE(drop(mimeData));
    auto* window = loadedWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->refusalMessage().toStdString(), expected.message);

    // Text that is XML but not FCPXML is refused in the same way.
    QMimeData text;
    text.setText(QStringLiteral("<html/>"));
    ASSERT_TRUE(drop(text));
    const auto windows = projects_.windows();
    ASSERT_EQ(windows.size(), 2u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !windows[1]->isLoading(); }, 20000));
    EXPECT_EQ(windows[1]->refusalMessage().toStdString(),
              velotrack::timeline::loadDocumentText("<html/>").message);
    std::filesystem::remove_all(folder);
}

TEST_F(ProjectWindowsTest, DropsWithoutAProjectAreNotTakenAndClosingAWindowClosesOnlyIt) {
    QMimeData image;
    image.setImageData(QImage(4, 4, QImage::Format_RGB32));
    EXPECT_FALSE(drop(image));
    QMimeData missing;
    missing.setUrls({QUrl::fromLocalFile(QStringLiteral("/no/such/cut.fcpxml"))});
    EXPECT_FALSE(drop(missing));
    EXPECT_TRUE(projects_.windows().empty());

    window_.show();
    const auto first = projects_.open({examples / "multicam-interview.fcpxml", {}, "a"});
    projects_.open({examples / "coastline-trailer-1.11.fcpxml", {}, "b"});
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const auto windows = projects_.windows();
            return std::none_of(windows.begin(), windows.end(),
                                [](ProjectWindow* open) { return open->isLoading(); });
        },
        20000));
    first->close();
    QTest::qWait(10); // deletion is deferred to the event loop
    EXPECT_EQ(projects_.windows().size(), 1u);
    EXPECT_TRUE(window_.isVisible());
}

} // namespace
