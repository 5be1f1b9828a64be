// Any vgx.cfg, however damaged, loads without fault; whatever it leaves in the model saves to a
// file that loads back completely and to the same values.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "records/settings_model.h"

namespace {

class FixedClock final : public vgx::Clock {
public:
    vgx::LocalTime Now() const override { return vgx::MakeLocalTime(2026, 12, 5, 14, 5, 9); }
    std::chrono::steady_clock::time_point Monotonic() const override { return {}; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FixedClock clock;
    // No file is touched: a save only happens through the rules, and loads never save.
    vgx::SettingsModel first("/nonexistent-vgx-fuzz", clock);
    first.LoadFromText(std::string_view(reinterpret_cast<const char*>(data), size));

    vgx::SettingsModel second("/nonexistent-vgx-fuzz", clock);
    const vgx::LoadResult again = second.LoadFromText(first.SettingsText());
    vgx::Settings expected = first.Working();
    // A save dates the record today; a count of another day goes with its day.
    if (expected.ThresholdDay != vgx::DayOf(clock.Now()))
        expected.ThresholdEvents = 0;
    expected.ThresholdDay = vgx::DayOf(clock.Now());
    if (!again.Complete() || !(second.Working() == expected) ||
        second.Text(vgx::Setting::OpacityText) != first.Text(vgx::Setting::OpacityText) ||
        second.Text(vgx::Setting::DelayText) != first.Text(vgx::Setting::DelayText) ||
        second.BootResetShown() != first.BootResetShown()) {
        std::abort();
    }
    return 0;
}
