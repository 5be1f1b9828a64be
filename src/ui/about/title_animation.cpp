#include "ui/about/title_animation.h"

#include <algorithm>

#include "vgx_version.h"

namespace vgx {

namespace {

// A bouncing line climbs back from -3 and turns down again above 128, so an end outside that
// range would never be reached and the animation would run for ever.
constexpr int kLowestEnd = -3;
constexpr int kHighestEnd = 128;

}  // namespace

DrawSpacingAnimation::DrawSpacingAnimation(int startSpacing, int endSpacing, bool bFlag)
    : s_(startSpacing),
      end_(bFlag ? endSpacing : std::clamp(endSpacing, kLowestEnd, kHighestEnd)),
      bFlag_(bFlag) {}

void DrawSpacingAnimation::Step() {
    if (finished_)
        return;
    if (s_ < -3 && !bFlag_ && !bounced_) {
        bounced_ = true;
        direction_ = 1;
        wait_ = s_ + 4;
    }
    if (s_ > 128)
        direction_ = -1;
    if (bFlag_) {
        // Only ever closes up: it ends where it reaches its end, not somewhere below it.
        s_ += direction_;
        finished_ = s_ <= end_;
    } else if (direction_ < 0) {
        s_ += direction_;
    } else if (s_ != end_) {
        if (--wait_ < 1) {
            ++s_;
            wait_ = s_ + 4;
        }
    } else {
        finished_ = true;
    }
}

const std::array<SpacingLine, 2>& TitleAnimation::Lines() {
    static const std::array<SpacingLine, 2> lines{{
        {"Vigiax.", 12, 12, false, 128, -2, {255, 0, 0}, {"", 24, true}},
        {std::string("v") + kVersion, 190, 28, false, 128, 0, {0, 0, 255}, {"Tahoma", 8, false}},
    }};
    return lines;
}

void TitleAnimation::Start() {
    if (started_)
        return;
    started_ = true;
    animating_ = true;
    line_ = 0;
    fresh_ = true;
    current_ =
        DrawSpacingAnimation(Lines()[0].startSpacing, Lines()[0].endSpacing, Lines()[0].bFlag);
}

std::optional<TitleFrame> TitleAnimation::NextFrame() {
    if (!animating_)
        return std::nullopt;
    if (current_.Finished()) {
        if (static_cast<std::size_t>(line_ + 1) == Lines().size()) {
            animating_ = false;
            revealed_ = true;
            return std::nullopt;
        }
        const SpacingLine& next = Lines()[static_cast<std::size_t>(++line_)];
        current_ = DrawSpacingAnimation(next.startSpacing, next.endSpacing, next.bFlag);
        fresh_ = true;
    }
    current_.Step();
    TitleFrame frame{&Lines()[static_cast<std::size_t>(line_)], current_.Spacing(), fresh_};
    fresh_ = false;
    return frame;
}

}  // namespace vgx
