#pragma once

#include <QScrollBar>
#include <QWidget>

namespace vgx {

// The menu column: a strip (the window fills it with the menu buttons) scrolled by a flat
// vertical bar at the column's right edge. The bar shows only when the strip is taller than
// the column; one arrow click moves by one menu button pitch, a page by an equal share of
// the overflow, a wheel notch by the arrow step times the system's wheel lines (a notch away
// from the user adds, anywhere over the column or its bar). The strip follows every change
// of the bar's value.
class ScrollColumn : public QWidget {
    Q_OBJECT

public:
    explicit ScrollColumn(QWidget* parent = nullptr);

    // The strip; size it (and fill it) as the window likes, the column places it.
    QWidget* strip() const { return strip_; }
    QScrollBar* bar() const { return bar_; }
    int twipsPerPixel() const;

    // Shows or hides the bar and sets its range for the strip's height. Runs by itself
    // whenever the column or the strip is resized.
    void LayOutBar();

signals:
    // The bar's value changed; the strip has already moved.
    void changed(int value);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FollowBar(int value);
    void Wheel(QWheelEvent* event);

    QWidget* strip_;
    QScrollBar* bar_;
    int wheelRest_ = 0;  // part of a notch not yet turned into a step
};

}  // namespace vgx
