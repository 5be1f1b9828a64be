#pragma once

#include <QFont>
#include <QPoint>
#include <QWidget>

namespace vgx {

// The banner across the top of a frameless window: a gradient from blue at the left edge to
// white at the right, with an optional title centred in large red italics over a black
// shadow. The window is dragged by it with the left button, from the banner itself or from
// any child that leaves mouse presses to it (a QLabel with a picture does).
class Banner : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString title READ title WRITE setTitle)

public:
    explicit Banner(QWidget* parent = nullptr);

    QString title() const { return title_; }
    void setTitle(const QString& title);

    // The font of the title: Times New Roman, bold, italic, 32 points.
    static QFont TitleFont();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void EndDrag();

    QString title_;
    bool manualDrag_ = false;
    QPoint grabOffset_;  // from the window's corner to the pointer, during a manual drag
};

}  // namespace vgx
