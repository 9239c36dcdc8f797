#pragma once

#include <QMainWindow>
#include <functional>

class QAction;
class QLabel;
class QPushButton;

namespace velotrack {

// The start-up window as the application's interface lays it out: the maker's logo beside the
// editor's icon, one multi-line text, one button, and the main menu with the application menu
// titled "Velotrack". It only lays out; the application delegate fills it in.
class StartupWindow final : public QMainWindow {
public:
    explicit StartupWindow(QWidget* parent = nullptr);

    QLabel* textField() const noexcept { return textField_; }
    QPushButton* actionButton() const noexcept { return actionButton_; }
    QLabel* imageView() const noexcept { return imageView_; }
    QLabel* kvnImageView() const noexcept { return kvnImageView_; }
    QAction* aboutItem() const noexcept { return aboutItem_; }

    // Called when the window is about to close.
    void setWillCloseHandler(std::function<void()> handler) { willClose_ = std::move(handler); }

    static constexpr int imageSize = 96;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMainMenu();

    QLabel* textField_ = nullptr;
    QPushButton* actionButton_ = nullptr;
    QLabel* imageView_ = nullptr;
    QLabel* kvnImageView_ = nullptr;
    QAction* aboutItem_ = nullptr;
    std::function<void()> willClose_;
};

} // namespace velotrack
