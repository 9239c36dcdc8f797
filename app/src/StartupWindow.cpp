#include "StartupWindow.h"

#include "BundleProperties.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace velotrack {
namespace {

QLabel* makeImageView(const char* objectName) {
    auto* view = new QLabel;
    view->setObjectName(objectName);
    view->setFixedSize(StartupWindow::imageSize, StartupWindow::imageSize);
    view->setAlignment(Qt::AlignCenter);
    return view;
}

} // namespace

StartupWindow::StartupWindow(QWidget* parent) : QMainWindow(parent) {
    kvnImageView_ = makeImageView("kvnImageView");
    imageView_ = makeImageView("imageView");

    textField_ = new QLabel;
    textField_->setObjectName("textField");
    textField_->setWordWrap(true);
    textField_->setAlignment(Qt::AlignCenter);
    textField_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    actionButton_ = new QPushButton;
    actionButton_->setObjectName("actionButton");
    actionButton_->setDefault(true);
    actionButton_->setMinimumWidth(180);

    auto* images = new QHBoxLayout;
    images->addStretch();
    images->addWidget(kvnImageView_);
    images->addSpacing(24);
    images->addWidget(imageView_);
    images->addStretch();

    auto* button = new QHBoxLayout;
    button->addStretch();
    button->addWidget(actionButton_);
    button->addStretch();

    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(28, 24, 28, 24);
    column->setSpacing(18);
    column->addLayout(images);
    column->addWidget(textField_);
    column->addLayout(button);
    setCentralWidget(content);
    setFixedSize(520, 340);

    buildMainMenu();
}

void StartupWindow::buildMainMenu() {
    const auto name =
        QString::fromUtf8(productName.data(), static_cast<qsizetype>(productName.size()));
    auto* applicationMenu = menuBar()->addMenu(name);
    aboutItem_ = applicationMenu->addAction(QStringLiteral("About ") + name);
    applicationMenu->addSeparator();
    auto* quit = applicationMenu->addAction(QStringLiteral("Quit ") + name);
    quit->setShortcut(QKeySequence::Quit);
    connect(quit, &QAction::triggered, qApp, &QCoreApplication::quit);
}

void StartupWindow::closeEvent(QCloseEvent* event) {
    if (willClose_) {
        willClose_();
    }
    QMainWindow::closeEvent(event);
}

} // namespace velotrack
