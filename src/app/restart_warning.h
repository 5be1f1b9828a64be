#pragma once

#include <cstdint>
#include <string>

namespace vgx {

// The countdown of the restart warning: one tick a second, the restart at the 31st.
class RestartWarning {
public:
    static constexpr std::uint8_t kRestartAt = 31;

    // A new warning counts down from 30 again.
    void Start() {
        counter_ = 0;
        counting_ = true;
    }
    void Stop() { counting_ = false; }
    // Shows the countdown of a warning that counts in another copy of the program.
    void Mirror(bool counting, std::uint8_t counter) {
        counting_ = counting;
        counter_ = counter;
    }
    bool Counting() const { return counting_; }
    std::uint8_t Counter() const { return counter_; }

    // Advances one second. Returns true when the computer is to be restarted now; the
    // countdown then stops.
    bool Tick() {
        if (!counting_)
            return false;
        if (counter_ < 255)
            ++counter_;
        if (counter_ >= kRestartAt) {
            counting_ = false;
            return true;
        }
        return false;
    }

    // "Boot em: ", two carriage returns, the seconds left and " segundos...".
    std::string Label() const {
        const int left = counter_ >= kRestartAt ? 0 : kRestartAt - counter_;
        return "Boot em: \r\r" + std::to_string(left) + " segundos...";
    }

private:
    std::uint8_t counter_ = 0;
    bool counting_ = false;
};

}  // namespace vgx
