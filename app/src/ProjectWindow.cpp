#include "ProjectWindow.h"

#include <QAbstractTableModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QProgressBar>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <timeline/PainterRenderer.h>

namespace velotrack {

namespace {

enum Page { busyPage, messagePage, contentPage };

// A table of text cells; sorting goes by each cell's value where it has one.
class TableModel final : public QAbstractTableModel {
public:
    explicit TableModel(timeline::Table table, QObject* parent)
        : QAbstractTableModel(parent), table_(std::move(table)) {}

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(table_.rows.size());
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(table_.columns.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid()) {
            return {};
        }
        const auto& cell = table_.rows[static_cast<std::size_t>(index.row())]
                                      [static_cast<std::size_t>(index.column())];
        if (role == Qt::DisplayRole) {
            return QString::fromStdString(cell.text);
        }
        if (role == Qt::UserRole) {
            return cell.sortValue ? QVariant(*cell.sortValue)
                                  : QVariant(QString::fromStdString(cell.text));
        }
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole || orientation != Qt::Horizontal) {
            return {};
        }
        return QString::fromStdString(table_.columns[static_cast<std::size_t>(section)]);
    }

private:
    timeline::Table table_;
};

QTableView* makeTableView(QWidget* parent) {
    auto* view = new QTableView(parent);
    view->setSortingEnabled(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setAlternatingRowColors(true);
    view->verticalHeader()->setVisible(false);
    view->verticalHeader()->setDefaultSectionSize(22);
    view->horizontalHeader()->setStretchLastSection(true);
    return view;
}

void setTable(QTableView* view, timeline::Table table) {
    auto* model = new TableModel(std::move(table), view);
    auto* proxy = new QSortFilterProxyModel(view);
    proxy->setSourceModel(model);
    proxy->setSortRole(Qt::UserRole);
    view->setModel(proxy);
    // Unsorted until the user asks, so the rows start in timeline order.
    view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    view->resizeColumnsToContents();
}

QString headerText(const std::vector<std::pair<std::string, std::string>>& fields) {
    QStringList parts;
    for (const auto& [label, value] : fields) {
        parts << QStringLiteral("<b>%1</b> %2")
                     .arg(QString::fromStdString(label).toHtmlEscaped(),
                          QString::fromStdString(value).toHtmlEscaped());
    }
    return parts.join(QStringLiteral(" &nbsp;·&nbsp; "));
}

} // namespace

ProjectContent loadProjectContent(const ProjectSource& source) {
    ProjectContent content;
    content.loaded = source.path ? timeline::loadDocumentFile(*source.path)
                                 : timeline::loadDocumentText(source.text.value_or(""));
    if (content.loaded.description) {
        const auto& description = *content.loaded.description;
        content.header = timeline::headerFields(description);
        content.clips = timeline::clipTable(description);
        content.markers = timeline::markerTable(description);
    }
    return content;
}

TimelineView::TimelineView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    redraw();
}

void TimelineView::setDescription(std::shared_ptr<const kvnfcpx::FCPXMLDescription> description) {
    description_ = std::move(description);
    redraw();
}

void TimelineView::setBaseWidth(int width) {
    if (width != baseWidth_) {
        baseWidth_ = std::max(width, 1);
        redraw();
    }
}

void TimelineView::setZoom(double zoom) {
    zoom = std::clamp(zoom, minimumZoom, maximumZoom);
    if (zoom != zoom_) {
        zoom_ = zoom;
        redraw();
    }
}

void TimelineView::redraw() {
    static const kvnfcpx::FCPXMLDescription empty;
    drawing_ = timeline::drawTimeline(description_ ? *description_ : empty,
                                      static_cast<double>(baseWidth_) * zoom_);
    setFixedSize(static_cast<int>(std::ceil(drawing_.width)),
                 static_cast<int>(std::ceil(drawing_.height)));
    update();
}

void TimelineView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    timeline::paintDrawing(painter, drawing_, QRectF(event->rect()));
}

TimelineArea::TimelineArea(TimelineView* view, QWidget* parent) : QScrollArea(parent), view_(view) {
    setWidget(view);
    setWidgetResizable(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFrameShape(QFrame::NoFrame);
}

void TimelineArea::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    view_->setBaseWidth(viewport()->width());
}

void TimelineArea::wheelEvent(QWheelEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        view_->setZoom(view_->zoom() * (event->angleDelta().y() > 0 ? 1.25 : 0.8));
        event->accept();
        return;
    }
    QScrollArea::wheelEvent(event);
}

ProjectWindow::ProjectWindow(const std::string& title, QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QString::fromStdString(title));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(1100, 720);

    pages_ = new QStackedWidget(this);

    auto* busy = new QWidget;
    auto* busyColumn = new QVBoxLayout(busy);
    busyLabel_ = new QLabel(QStringLiteral("Reading %1…").arg(QString::fromStdString(title)));
    busyLabel_->setAlignment(Qt::AlignCenter);
    auto* progress = new QProgressBar;
    progress->setObjectName("busyIndicator");
    progress->setRange(0, 0); // indeterminate: the engine reports no progress
    progress->setMaximumWidth(320);
    busyColumn->addStretch();
    busyColumn->addWidget(busyLabel_);
    busyColumn->addWidget(progress, 0, Qt::AlignHCenter);
    busyColumn->addStretch();

    messageLabel_ = new QLabel;
    messageLabel_->setObjectName("refusalMessage");
    messageLabel_->setAlignment(Qt::AlignCenter);
    messageLabel_->setWordWrap(true);
    messageLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    messageLabel_->setMargin(24);

    pages_->insertWidget(busyPage, busy);
    pages_->insertWidget(messagePage, messageLabel_);
    pages_->insertWidget(contentPage, makeContentPage());
    pages_->setCurrentIndex(busyPage);
    setCentralWidget(pages_);
}

QWidget* ProjectWindow::makeContentPage() {
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(8, 8, 8, 8);

    headerLabel_ = new QLabel;
    headerLabel_->setObjectName("projectHeader");
    headerLabel_->setWordWrap(true);
    headerLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(headerLabel_);

    auto* zoomRow = new QHBoxLayout;
    auto* zoomOut = new QToolButton;
    zoomOut->setText(QStringLiteral("−"));
    zoomOut->setToolTip(QStringLiteral("Zoom out (Ctrl+wheel)"));
    auto* zoomIn = new QToolButton;
    zoomIn->setText(QStringLiteral("+"));
    zoomIn->setToolTip(QStringLiteral("Zoom in (Ctrl+wheel)"));
    auto* fit = new QToolButton;
    fit->setText(QStringLiteral("Fit"));
    zoomLabel_ = new QLabel(QStringLiteral("100%"));
    zoomRow->addWidget(new QLabel(QStringLiteral("Timeline")));
    zoomRow->addStretch();
    zoomRow->addWidget(zoomOut);
    zoomRow->addWidget(zoomLabel_);
    zoomRow->addWidget(zoomIn);
    zoomRow->addWidget(fit);
    column->addLayout(zoomRow);

    timelineView_ = new TimelineView;
    auto* area = new TimelineArea(timelineView_);
    connect(zoomOut, &QToolButton::clicked, this, [this] { setZoom(timelineView_->zoom() / 1.5); });
    connect(zoomIn, &QToolButton::clicked, this, [this] { setZoom(timelineView_->zoom() * 1.5); });
    connect(fit, &QToolButton::clicked, this, [this] { setZoom(1); });

    tabs_ = new QTabWidget;
    clipView_ = makeTableView(tabs_);
    clipView_->setObjectName("clipTable");
    markerView_ = makeTableView(tabs_);
    markerView_->setObjectName("markerTable");
    tabs_->addTab(clipView_, QStringLiteral("Asset clips"));
    tabs_->addTab(markerView_, QStringLiteral("Markers"));

    auto* splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(area);
    splitter->addWidget(tabs_);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);
    column->addWidget(splitter, 1);
    return page;
}

void ProjectWindow::setZoom(double zoom) {
    timelineView_->setZoom(zoom);
    zoomLabel_->setText(QStringLiteral("%1%").arg(std::lround(timelineView_->zoom() * 100)));
}

void ProjectWindow::showContent(ProjectContent content) {
    if (!content.loaded.description) {
        messageLabel_->setText(QString::fromStdString(content.loaded.message));
        pages_->setCurrentIndex(messagePage);
        return;
    }
    auto description =
        std::make_shared<const kvnfcpx::FCPXMLDescription>(std::move(*content.loaded.description));
    const auto& project = description->project;
    if (project && project->name) {
        setWindowTitle(QString::fromStdString(*project->name));
    }
    headerLabel_->setText(headerText(content.header));
    tabs_->setTabText(0, QStringLiteral("Asset clips (%1)").arg(content.clips.rows.size()));
    tabs_->setTabText(1, QStringLiteral("Markers (%1)").arg(content.markers.rows.size()));
    setTable(clipView_, std::move(content.clips));
    setTable(markerView_, std::move(content.markers));
    timelineView_->setDescription(std::move(description));
    pages_->setCurrentIndex(contentPage);
}

bool ProjectWindow::isLoading() const {
    return pages_->currentIndex() == busyPage;
}

QString ProjectWindow::refusalMessage() const {
    return pages_->currentIndex() == messagePage ? messageLabel_->text() : QString();
}

QAbstractItemModel* ProjectWindow::clipModel() const {
    return clipView_->model();
}
QAbstractItemModel* ProjectWindow::markerModel() const {
    return markerView_->model();
}

} // namespace velotrack
