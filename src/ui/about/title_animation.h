#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace vgx {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

// An empty family means the window's own bold display face.
struct TextFont {
    std::string family;
    int pointSize = 0;
    bool bold = false;
};

// One line of the About window's title, drawn at (x, y) pixels of the window's surface.
struct SpacingLine {
    std::string text;
    int x = 0;
    int y = 0;
    bool bFlag = false;  // true: no bounce, the spacing only closes up
    int startSpacing = 0;
    int endSpacing = 0;
    Rgb colour;
    TextFont font;
};

// The letter spacing of one line, one Step() per frame. The spacing closes up by one pixel a
// frame until it is below -3, bounces once, then opens again towards endSpacing, each value
// held s + 4 frames. The frame where it has reached endSpacing is the last.
class DrawSpacingAnimation {
public:
    DrawSpacingAnimation(int startSpacing, int endSpacing, bool bFlag);

    // Steps the spacing for the next frame; does nothing once the line has finished.
    void Step();
    int Spacing() const { return s_; }
    bool Finished() const { return finished_; }

private:
    int s_;
    int end_;
    bool bFlag_;
    int direction_ = -1;
    int wait_ = 0;
    bool bounced_ = false;
    bool finished_ = false;
};

// What one frame draws: a line with its spacing; firstOfLine starts a fresh drawing rectangle.
struct TitleFrame {
    const SpacingLine* line = nullptr;
    int spacing = 0;
    bool firstOfLine = false;
};

// Animacao: the name in red, then (unless stopped) the version in blue, then the reveal of the
// window's controls. A frame clock calls NextFrame(); Stop() ends it at its next frame.
class TitleAnimation {
public:
    static const std::array<SpacingLine, 2>& Lines();

    // Sets the animating flag and starts the first line; only the first call does anything.
    void Start();
    // The frame to draw, or nothing when the animation is over (stopped or revealed).
    std::optional<TitleFrame> NextFrame();
    void Stop() { animating_ = false; }

    bool Animating() const { return animating_; }
    bool Revealed() const { return revealed_; }
    // Index into Lines() of the line being drawn; -1 before the start.
    int LineIndex() const { return line_; }

private:
    bool started_ = false;
    bool animating_ = false;
    bool revealed_ = false;
    bool fresh_ = false;
    int line_ = -1;
    DrawSpacingAnimation current_{0, 0, false};
};

}  // namespace vgx
