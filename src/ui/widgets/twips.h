#pragma once

class QWidget;

namespace vgx {

// Window geometry is given in twips, 1/1440 inch. These convert with the logical resolution of
// the screen `w` is on (the primary screen when `w` is null or not yet on a screen): 15 twips
// to the pixel at 96 dots per inch.

constexpr int kTwipsPerInch = 1440;

// Whole twips per pixel (at least 1), as the window's own arithmetic uses them.
int TwipsPerPixelX(const QWidget* w = nullptr);
int TwipsPerPixelY(const QWidget* w = nullptr);

// Nearest whole pixel or twip, from the exact resolution.
int TwipsToPixelsX(int twips, const QWidget* w = nullptr);
int TwipsToPixelsY(int twips, const QWidget* w = nullptr);
int PixelsToTwipsX(int pixels, const QWidget* w = nullptr);
int PixelsToTwipsY(int pixels, const QWidget* w = nullptr);

}  // namespace vgx
