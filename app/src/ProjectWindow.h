#pragma once

#include "ProjectIntake.h"

#include <QMainWindow>
#include <QScrollArea>
#include <memory>
#include <timeline/DescriptionTables.h>
#include <timeline/DocumentLoading.h>
#include <timeline/TimelineDrawing.h>
#include <utility>
#include <vector>

class QAbstractItemModel;
class QLabel;
class QStackedWidget;
class QTabWidget;
class QTableView;

namespace velotrack {

// Everything a project window shows, made off the main thread.
struct ProjectContent {
    timeline::LoadedDocument loaded{};
    std::vector<std::pair<std::string, std::string>> header{};
    timeline::Table clips{};
    timeline::Table markers{};
};

// Reads the source and prepares its tables; runs on any thread.
ProjectContent loadProjectContent(const ProjectSource& source);

// The timeline picture of a description, as wide as its scroll area times the zoom.
class TimelineView final : public QWidget {
public:
    explicit TimelineView(QWidget* parent = nullptr);

    void setDescription(std::shared_ptr<const kvnfcpx::FCPXMLDescription> description);
    // The width the picture fills at zoom 1 (the visible width); the picture is redrawn.
    void setBaseWidth(int width);
    void setZoom(double zoom);
    double zoom() const noexcept { return zoom_; }
    const timeline::TimelineDrawing& drawing() const noexcept { return drawing_; }

    static constexpr double minimumZoom = 1;
    static constexpr double maximumZoom = 64;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void redraw();

    std::shared_ptr<const kvnfcpx::FCPXMLDescription> description_;
    timeline::TimelineDrawing drawing_;
    int baseWidth_ = 800;
    double zoom_ = 1;
};

// A scroll area that hands its visible width to the timeline, so a resized window redraws it.
class TimelineArea final : public QScrollArea {
public:
    explicit TimelineArea(TimelineView* view, QWidget* parent = nullptr);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    TimelineView* view_;
};

// One document: busy while it loads, then its header, timeline and tables, or the engine's
// message when it refused the document. Closing it closes only it.
class ProjectWindow final : public QMainWindow {
public:
    explicit ProjectWindow(const std::string& title, QWidget* parent = nullptr);

    void showContent(ProjectContent content);

    bool isLoading() const;
    // The engine's message when the document was refused or unreadable; empty otherwise.
    QString refusalMessage() const;
    QAbstractItemModel* clipModel() const;
    QAbstractItemModel* markerModel() const;
    TimelineView* timelineView() const noexcept { return timelineView_; }
    QLabel* headerLabel() const noexcept { return headerLabel_; }

private:
    QWidget* makeContentPage();
    void setZoom(double zoom);

    QStackedWidget* pages_ = nullptr;
    QLabel* busyLabel_ = nullptr;
    QLabel* messageLabel_ = nullptr;
    QLabel* headerLabel_ = nullptr;
    QLabel* zoomLabel_ = nullptr;
    TimelineView* timelineView_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QTableView* clipView_ = nullptr;
    QTableView* markerView_ = nullptr;
};

} // namespace velotrack
