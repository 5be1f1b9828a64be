#pragma once

#include <QAbstractButton>
#include <QColor>

namespace vgx {

// The bevelled 3-D panel of the menu and banner buttons. It paints its background, a thin
// edge for its bevel state and its caption ("&" underlines the next letter); the bevel never
// changes by itself: the window sets it from the mouse events this panel reports.
// Accessible as a push button named by its caption without "&" and leading or trailing
// blanks, described by its tool tip, with a Press action that clicks it.
class BevelPanel : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(QColor backgroundColor READ backgroundColor WRITE setBackgroundColor)
    Q_PROPERTY(int bevel READ bevel WRITE setBevel)
    Q_PROPERTY(Qt::Alignment alignment READ alignment WRITE setAlignment)
    Q_PROPERTY(QString tag READ tag WRITE setTag)

public:
    enum Bevel { Flat = 0, Inset = 1, Raised = 2 };

    explicit BevelPanel(QWidget* parent = nullptr);
    BevelPanel(const QString& caption, QWidget* parent = nullptr);

    QColor backgroundColor() const { return background_; }
    void setBackgroundColor(const QColor& colour);

    // 0 flat, 1 pressed in, 2 raised; other values draw flat.
    int bevel() const { return bevel_; }
    void setBevel(int bevel);

    // Where the caption sits: Qt::AlignCenter (default) or Qt::AlignHCenter | Qt::AlignBottom.
    Qt::Alignment alignment() const { return alignment_; }
    void setAlignment(Qt::Alignment alignment);

    // Free text for the window's use.
    QString tag() const { return tag_; }
    void setTag(const QString& tag) { tag_ = tag; }

    QSize sizeHint() const override;

signals:
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void mouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint pos);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QColor background_;
    int bevel_ = Flat;
    Qt::Alignment alignment_ = Qt::AlignCenter;
    QString tag_;
};

}  // namespace vgx
