#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>

namespace vgx {

enum class IconForm {
    Plain,    // as drawn
    Resting,  // greyed and lighter, for a menu button at rest
};

// One of the picture files the program writes at start, cut into its pictures.
//   xp.dat / xp2.dat (240 x 64): the five 48 x 48 menu icons side by side on top, the
//     sixteen-pixel command-button icons side by side below them (y = 48).
//   menu.dat / menu2.dat (96 x 16): the six tray-menu icons.
// A file that is missing or unreadable gives an empty strip: every picture is null.
// Copies are cheap (the image is shared).
class IconStrip {
public:
    static constexpr int kMenuIconSize = 48;
    static constexpr int kMenuIconCount = 5;
    static constexpr int kButtonIconSize = 16;
    static constexpr int kButtonIconCount = 15;
    static constexpr int kMenuEntryIconSize = 16;
    static constexpr int kMenuEntryIconCount = 6;

    IconStrip() = default;
    explicit IconStrip(const QString& file);

    bool isNull() const { return image_.isNull(); }

    // Menu icon i (0 configuration, 1 folders, 2 Internet, 3 web server, 4 extras).
    QPixmap MenuIcon(int i, IconForm form = IconForm::Plain) const;
    // Command-button icon by its image index.
    QPixmap ButtonIcon(int index) const;
    // Tray-menu icon i (0 configuration, 1 panel, 2 start, 3 stop, 4 about, 5 quit).
    QPixmap MenuEntryIcon(int i) const;

private:
    QImage Piece(int x, int y, int size) const;

    QImage image_;
};

}  // namespace vgx
