#include "ui/widgets/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace vgx {

namespace {

constexpr double kFallbackDpi = 96.0;

const QScreen* ScreenOf(const QWidget* w) {
    if (w != nullptr) {
        if (const QScreen* s = w->screen())
            return s;
    }
    return QGuiApplication::primaryScreen();
}

double DpiX(const QWidget* w) {
    const QScreen* s = ScreenOf(w);
    const double dpi = s ? s->logicalDotsPerInchX() : kFallbackDpi;
    return dpi > 0 ? dpi : kFallbackDpi;
}

double DpiY(const QWidget* w) {
    const QScreen* s = ScreenOf(w);
    const double dpi = s ? s->logicalDotsPerInchY() : kFallbackDpi;
    return dpi > 0 ? dpi : kFallbackDpi;
}

int WholeTwipsPerPixel(double dpi) {
    return std::max(1, static_cast<int>(std::lround(kTwipsPerInch / dpi)));
}

int Scale(int value, double factor) {
    return static_cast<int>(std::lround(value * factor));
}

}  // namespace

int TwipsPerPixelX(const QWidget* w) {
    return WholeTwipsPerPixel(DpiX(w));
}

int TwipsPerPixelY(const QWidget* w) {
    return WholeTwipsPerPixel(DpiY(w));
}

int TwipsToPixelsX(int twips, const QWidget* w) {
    return Scale(twips, DpiX(w) / kTwipsPerInch);
}

int TwipsToPixelsY(int twips, const QWidget* w) {
    return Scale(twips, DpiY(w) / kTwipsPerInch);
}

int PixelsToTwipsX(int pixels, const QWidget* w) {
    return Scale(pixels, kTwipsPerInch / DpiX(w));
}

int PixelsToTwipsY(int pixels, const QWidget* w) {
    return Scale(pixels, kTwipsPerInch / DpiY(w));
}

}  // namespace vgx
