#pragma once

#include <QColor>
#include <QPixmap>
#include <QWidget>

namespace vgx {

// The small picture box of a menu button: one picture drawn at (0, 0) on its own background.
// Mouse events pass through to the widget below (the button it sits on).
class IconBox : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QColor backgroundColor READ backgroundColor WRITE setBackgroundColor)

public:
    explicit IconBox(QWidget* parent = nullptr);

    QColor backgroundColor() const { return background_; }
    void setBackgroundColor(const QColor& colour);

    QPixmap picture() const { return picture_; }
    // Replaces the picture (a null pixmap clears the box).
    void setPicture(const QPixmap& picture);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor background_;
    QPixmap picture_;
};

}  // namespace vgx
