#pragma once

#include <QPushButton>

#include "ui/widgets/icon_strip.h"

namespace vgx {

// A command button painted in the program's own look: a thin raised edge (sunken when
// pushed), an optional 16-pixel icon at the left taken from the program's picture strip by
// image index, and the caption beside it, left-aligned, wrapped at words, with "&"
// underlining the next letter. When pushed, icon, caption and focus frame move one pixel
// right and down. Otherwise a plain QPushButton: clicked(), Alt accelerators, default
// buttons, and accessibility as a push button.
class OwnerDrawButton : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(int imageIndex READ imageIndex WRITE setImageIndex)

public:
    explicit OwnerDrawButton(QWidget* parent = nullptr);
    OwnerDrawButton(const QString& caption, QWidget* parent = nullptr);

    // The strip the icon comes from (xp.dat or xp2.dat).
    const IconStrip& imageStrip() const { return strip_; }
    void setImageStrip(const IconStrip& strip);

    // Index of the icon among the strip's command-button icons; -1 (the default) for none.
    int imageIndex() const { return imageIndex_; }
    void setImageIndex(int index);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap Icon() const;

    IconStrip strip_;
    int imageIndex_ = -1;
};

}  // namespace vgx
