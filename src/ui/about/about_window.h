#pragma once

#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <filesystem>
#include <memory>
#include <vector>

#include "ui/about/frame_clock.h"
#include "ui/about/title_animation.h"

class QLabel;
class QPushButton;

namespace vgx {

// frmAbout: the title animation, then the emblem, two text panels, two links and "&SAIR".
// Deletes itself when closed, and enables again every main window it was opened over.
class AboutWindow final : public QWidget {
public:
    // clock calls the animation's frames; null takes a 20 ms timer.
    explicit AboutWindow(std::filesystem::path programDir,
                         std::unique_ptr<FrameClock> clock = nullptr);
    ~AboutWindow() override;

    // Disables mainWindow (may be null) until this window closes, shows the window without an
    // owner and, the first time, starts the animation.
    void Open(QWidget* mainWindow);

    const TitleAnimation& Animation() const { return animation_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Frame();
    void DrawFrame(const TitleFrame& frame);
    void Reveal();
    void cmdFecha_Click();
    void OpenLink(const QString& link) const;
    void EnableMainWindows();
    QRect Twips(int left, int top, int width, int height) const;

    std::filesystem::path programDir_;
    std::unique_ptr<FrameClock> clock_;
    TitleAnimation animation_;
    QPixmap surface_;  // the window's drawing, kept between frames
    QRect drawRect_;
    std::vector<QPointer<QWidget>> mainWindows_;
    std::vector<QWidget*> revealed_;
};

// The "?" button and the tray's "So&bre": disables mainWindow (may be null), creates the About
// window unless it is open already, and shows it.
AboutWindow* ShowAbout(QWidget* mainWindow, const std::filesystem::path& programDir);

}  // namespace vgx
