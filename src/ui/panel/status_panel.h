#pragma once

#include <QFrame>
#include <QIcon>
#include <QPixmap>

#include <string>

#include "ui/panel/panel_geometry.h"

class QLabel;
class QPlainTextEdit;
class QScreen;

namespace vgx {

class SettingsModel;
struct PanelState;

// frmPanel: a small frameless window without a taskbar button that shows the report of the
// pooling cycle (report), the failure count (failureLabel) and the tray's picture (imgIcone). It is
// dragged by its background, picture and label and snaps to the edges of the screen. Places
// are in twips, as the settings keep them.
class StatusPanel final : public QFrame {
public:
    // Width and height of the panel.
    static constexpr int kWidthTwips = 3000;
    static constexpr int kHeightTwips = 2400;

    explicit StatusPanel(SettingsModel& settings, QWidget* parent = nullptr);

    // Shows the engine's report: the text with the newest line in view, the failure label
    // and the colours of the failure level.
    void Refresh(const PanelState& state);
    void SetPicture(const QPixmap& picture);
    void SetPicture(const QIcon& icon);

    // The window's alpha, 0 (clear) to 255 (opaque): 0 when applied, 1 when `alpha` is out of
    // range (nothing changes), 2 when the window did not take it. A hidden panel keeps the
    // value and shows with it; without a compositing window manager the panel stays opaque.
    int SetOpacity(int alpha);
    int Opacity() const { return alpha_; }

    // Keeps the panel above other windows or not; a visible panel stays shown where it is.
    void ApplyAlwaysOnTop(bool onTop);

    // Moves the panel to `left`, `top`, brings it inside the work area and shows it.
    void ShowAt(double left, double top);

    TwipPlace Place() const;
    void MoveTo(double left, double top);
    // The work area's right and bottom; with `apply` the panel is moved back inside it.
    FitResult FitInWorkArea(bool apply);

    bool Dragging() const { return dragging_; }

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QScreen* CurrentScreen() const;
    // The pointer's place in the panel, in twips.
    QPointF PointerTwips(const QMouseEvent& e) const;
    void StorePlace();

    SettingsModel& settings_;
    QPlainTextEdit* Text1_;
    QLabel* lblNet_;
    QLabel* imgIcone_;
    std::string shownText_;
    int alpha_ = 255;
    bool loaded_ = false;
    bool dragging_ = false;
    int DragX_ = 0;
    int DragY_ = 0;
};

}  // namespace vgx
