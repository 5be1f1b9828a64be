#include "records/settings_model.h"

#include <algorithm>
#include <utility>

#include "records/settings_file.h"

namespace vgx {

std::optional<SpinnerBounds> BoundsOf(Setting spinner) {
    switch (spinner) {
        case Setting::PoolingMinutes:
            return SpinnerBounds{30, 1, 1, 3};
        case Setting::FailureLimit:
            return SpinnerBounds{10, 1, 1, 7};
        case Setting::PanelOpacity:
            return SpinnerBounds{255, 80, 5, 180};
        case Setting::DelayMinutes:
            return SpinnerBounds{15, 0, 1, 0};
        default:
            return std::nullopt;
    }
}

int ListSize(Setting list) {
    switch (list) {
        case Setting::NetAction:
            return 2;  // "Sem Ação", "Reiniciar Computador"
        case Setting::WebAction:
            return 3;  // "Sem Ação", "Reiniciar Serviço", "Reiniciar Computador"
        default:
            return 0;
    }
}

int OpacityPercent(int alpha) {
    int percent = alpha * 32 / 80;
    if (alpha == 80 || percent < 30)
        percent = 30;
    if (percent > 100)
        percent = 100;
    return percent;
}

SettingsModel::SettingsModel(std::filesystem::path programDir, const Clock& clock)
    : programDir_(std::move(programDir)),
      clock_(clock),
      txtOpa_(std::to_string(OpacityPercent(settings_.PanelOpacity)) + "%") {}

std::filesystem::path SettingsModel::FilePath() const {
    return programDir_ / kSettingsFileName;
}

// ---- control slots ----

std::int16_t* SettingsModel::CheckSlot(Setting c) {
    switch (c) {
        case Setting::NetCheck:
            return &settings_.NetCheckEnabled;
        case Setting::RunAsService:
            return &settings_.RunAsService;
        case Setting::WebCheck:
            return &settings_.WebCheckEnabled;
        case Setting::RestartAfterWebRestarts:
            return &settings_.RestartAfterWebRestarts;
        case Setting::ShowPanel:
            return &settings_.ShowPanel;
        case Setting::PanelOnTop:
            return &settings_.PanelAlwaysOnTop;
        default:
            return nullptr;
    }
}

std::int16_t* SettingsModel::ListSlot(Setting c) {
    switch (c) {
        case Setting::NetAction:
            return &settings_.NetAction;
        case Setting::WebAction:
            return &settings_.WebAction;
        default:
            return nullptr;
    }
}

std::int16_t* SettingsModel::SpinnerSlot(Setting c) {
    switch (c) {
        case Setting::PoolingMinutes:
            return &vscroll1_;
        case Setting::FailureLimit:
            return &vscroll2_;
        case Setting::PanelOpacity:
            return &settings_.PanelOpacity;
        case Setting::DelayMinutes:
            return &settings_.DelayMinutes;
        default:
            return nullptr;
    }
}

std::string* SettingsModel::TextSlot(Setting c) {
    switch (c) {
        case Setting::PoolingText:
            return &settings_.PoolingMinutes;
        case Setting::FailureLimitText:
            return &settings_.FailureLimit;
        case Setting::NetAddress1:
            return &settings_.NetAddress1;
        case Setting::NetAddress2:
            return &settings_.NetAddress2;
        case Setting::WebPage:
            return &settings_.WebPage;
        case Setting::OpacityText:
            return &txtOpa_;
        case Setting::DelayText:
            return &txtAtra_;
        default:
            return nullptr;
    }
}

int SettingsModel::AddListener(Listener listener) {
    listeners_.emplace_back(++nextListener_, std::move(listener));
    return nextListener_;
}

void SettingsModel::RemoveListener(int id) {
    std::erase_if(listeners_, [id](const auto& l) { return l.first == id; });
}

void SettingsModel::Notify(Setting c) const {
    // A copy: a listener may add or remove listeners while it runs.
    const auto listeners = listeners_;
    for (const auto& [id, listener] : listeners)
        listener(c);
}

// ---- texts ----

std::string_view SettingsModel::Text(Setting box) const {
    const std::string* slot = const_cast<SettingsModel*>(this)->TextSlot(box);
    return slot != nullptr ? std::string_view(*slot) : std::string_view();
}

bool SettingsModel::SetText(Setting box, std::string_view text) {
    if (box != Setting::NetAddress1 && box != Setting::NetAddress2 && box != Setting::WebPage) {
        return false;
    }
    SetTextOf(*TextSlot(box), box, text);
    return true;
}

void SettingsModel::SetTextOf(std::string& slot, Setting c, std::string_view text) {
    std::string clean = WithoutQuotes(text);
    if (clean == slot)
        return;
    slot = std::move(clean);
    Notify(c);
}

// ---- values and their rules ----

int SettingsModel::Value(Setting c) const {
    auto* self = const_cast<SettingsModel*>(this);
    if (const auto* s = self->CheckSlot(c))
        return *s;
    if (const auto* s = self->ListSlot(c))
        return *s;
    if (const auto* s = self->SpinnerSlot(c))
        return *s;
    return 0;
}

bool SettingsModel::SetValue(Setting c, int value) {
    if (auto* s = CheckSlot(c))
        return SetCheck(*s, c, value);
    if (auto* s = ListSlot(c))
        return SetList(*s, c, value);
    if (auto* s = SpinnerSlot(c))
        return SetSpinner(*s, c, value);
    return false;
}

bool SettingsModel::SetCheck(std::int16_t& slot, Setting c, int value) {
    if (value < 0 || value > 2)
        return false;
    if (slot == value)
        return true;
    slot = static_cast<std::int16_t>(value);
    Notify(c);
    if (c == Setting::NetCheck || c == Setting::WebCheck) {
        // Switching a probe saves at once and makes the new value the committed one. A load
        // in progress is not saved half-read; start-up commits after it.
        if (!loading_)
            SaveForRule();
        auto& flag =
            c == Setting::NetCheck ? committed_.NetCheckEnabled : committed_.WebCheckEnabled;
        flag = static_cast<std::uint8_t>(value);
        if (hooks.committed)
            hooks.committed();
    }
    return true;
}

bool SettingsModel::SetList(std::int16_t& slot, Setting c, int value) {
    if (value < 0 || value >= ListSize(c))
        return false;
    if (slot == value)
        return true;
    slot = static_cast<std::int16_t>(value);
    Notify(c);
    if (c == Setting::NetAction) {
        // A new Internet action must pass the check's test again.
        SetValue(Setting::NetCheck, 0);
    } else {
        const bool shown = value == 1;
        if (shown != bootResetShown_) {
            bootResetShown_ = shown;
            Notify(Setting::RestartAfterWebRestarts);
        }
        if (!shown)
            SetValue(Setting::RestartAfterWebRestarts, 0);
    }
    return true;
}

bool SettingsModel::SetSpinner(std::int16_t& slot, Setting c, int value) {
    const SpinnerBounds b = *BoundsOf(c);
    if (value > b.upper || value < b.lower)
        return false;
    if (slot != value) {
        slot = static_cast<std::int16_t>(value);
        Notify(c);
    }
    switch (c) {
        case Setting::PoolingMinutes:
            SetTextOf(settings_.PoolingMinutes, Setting::PoolingText, std::to_string(value));
            break;
        case Setting::FailureLimit:
            SetTextOf(settings_.FailureLimit, Setting::FailureLimitText, std::to_string(value));
            break;
        case Setting::PanelOpacity:
            SetTextOf(txtOpa_, Setting::OpacityText, std::to_string(OpacityPercent(value)) + "%");
            break;
        default:
            SetTextOf(txtAtra_, Setting::DelayText, std::to_string(value));
            break;
    }
    return true;
}

bool SettingsModel::StepNumber(Setting spinner, bool up) {
    const auto b = BoundsOf(spinner);
    if (!b)
        return false;
    const int v = Value(spinner);
    return SetValue(
        spinner, up ? std::min(v + b->step, int{b->upper}) : std::max(v - b->step, int{b->lower}));
}

bool SettingsModel::StepByKey(Setting box, ArrowKey key) {
    Setting spinner;
    switch (box) {
        case Setting::PoolingText:
            spinner = Setting::PoolingMinutes;
            break;
        case Setting::FailureLimitText:
            spinner = Setting::FailureLimit;
            break;
        case Setting::OpacityText:
            spinner = Setting::PanelOpacity;
            break;
        case Setting::DelayText:
            spinner = Setting::DelayMinutes;
            break;
        default:
            return false;
    }
    const SpinnerBounds b = *BoundsOf(spinner);
    const int v = Value(spinner);
    if (key == ArrowKey::Up && v < b.upper)
        SetValue(spinner, v + 1);
    else if (key == ArrowKey::Down && v > b.lower)
        SetValue(spinner, v - 1);
    return true;
}

double SettingsModel::PoolingMinutesInUse() const {
    if (const auto v = StrictFloat(settings_.PoolingMinutes))
        return *v;
    return committed_.PoolingMinutes;
}

double SettingsModel::FailureLimitInUse() const {
    if (const auto v = StrictFloat(settings_.FailureLimit))
        return *v;
    return committed_.FailureLimit;
}

std::chrono::seconds SettingsModel::StartDelay() const {
    return std::chrono::minutes(committed_.DelayMinutes);
}

NetFailureAction SettingsModel::NetActionInUse() const {
    return settings_.NetAction == 1 ? NetFailureAction::RestartComputer : NetFailureAction::Nothing;
}

WebFailureAction SettingsModel::WebActionInUse() const {
    switch (settings_.WebAction) {
        case 1:
            return WebFailureAction::RestartWebServer;
        case 2:
            return WebFailureAction::RestartComputer;
        default:
            return WebFailureAction::Nothing;
    }
}

// ---- file ----

LoadResult SettingsModel::LoadSettings() {
    const std::optional<std::string> text = ReadFileContents(FilePath());
    if (!text)
        return {LoadStatus::kNoFile, 0};
    return LoadFromText(*text);
}

LoadResult SettingsModel::LoadFromText(std::string_view text) {
    struct LoadingScope {
        bool& flag;
        ~LoadingScope() { flag = false; }
    } scope{loading_};
    loading_ = true;

    SettingsFieldReader reader(text);
    std::string line4;
    for (int line = 1; line <= kSettingsFieldCount; ++line) {
        std::optional<std::string> field = reader.Next();
        if (!field)
            return {LoadStatus::kShortFile, line};
        if (line == 4) {
            // The Internet check goes last, after the action list that would clear it.
            line4 = std::move(*field);
        } else if (!ApplyField(line, *field)) {
            return {LoadStatus::kBadValue, line};
        }
    }
    if (!ApplyField(4, line4))
        return {LoadStatus::kBadValue, 4};
    return {};
}

bool SettingsModel::ApplyField(int line, const std::string& field) {
    const auto leading = [&](Setting c) {
        const auto v = LeadingInt16(field);
        return v.has_value() && SetValue(c, *v);
    };
    const auto strictList = [&](Setting c) {
        const auto v = StrictInt16(field);
        return v.has_value() && SetValue(c, *v);
    };
    const auto number = [&](float& slot) {
        const auto v = StrictFloat(field);
        if (v)
            slot = *v;
        return v.has_value();
    };
    switch (line) {
        case 1:
            settings_.KeptText = WithoutQuotes(field);
            return true;
        case 2:
            SetTextOf(settings_.PoolingMinutes, Setting::PoolingText, field);
            return true;
        case 3:
            SetTextOf(settings_.FailureLimit, Setting::FailureLimitText, field);
            return true;
        case 4:
            return leading(Setting::NetCheck);
        case 5:
            return leading(Setting::RunAsService);
        case 6:
            SetTextOf(settings_.NetAddress1, Setting::NetAddress1, field);
            return true;
        case 7:
            SetTextOf(settings_.NetAddress2, Setting::NetAddress2, field);
            return true;
        case 8: {
            const auto v = StrictUint8(field);
            if (v)
                settings_.ThresholdEvents = *v;
            return v.has_value();
        }
        case 9:
            return strictList(Setting::NetAction);
        case 10: {
            const auto day = ParseDate(field);
            if (day)
                settings_.ThresholdDay = day;
            return day.has_value();
        }
        case 11:
            SetTextOf(settings_.WebPage, Setting::WebPage, field);
            return true;
        case 12:
            return strictList(Setting::WebAction);
        case 13:
            return leading(Setting::WebCheck);
        case 14:
            return leading(Setting::RestartAfterWebRestarts);
        case 15:
            return number(settings_.PanelLeft);
        case 16:
            return number(settings_.PanelTop);
        case 17:
            return leading(Setting::ShowPanel);
        case 18:
            return leading(Setting::PanelOnTop);
        case 19:
            return leading(Setting::PanelOpacity);
        case 20:
            return leading(Setting::DelayMinutes);
        default:
            return false;
    }
}

std::string SettingsModel::SettingsText() const {
    return FormatSettingsFile(settings_, DayOf(clock_.Now()));
}

bool SettingsModel::SaveSettings() const {
    const bool ok = ReplaceFileContents(FilePath(), SettingsText());
    if (ok && hooks.saved)
        hooks.saved();
    return ok;
}

void SettingsModel::SaveForRule() const {
    if (!SaveSettings() && hooks.saveFailed)
        hooks.saveFailed();
}

// ---- confirm and cancel ----

std::optional<CommittedCopy> SettingsModel::FromControls() const {
    const auto pooling = StrictUint8(settings_.PoolingMinutes);
    const auto failures = StrictUint8(settings_.FailureLimit);
    const auto delay = StrictUint8(txtAtra_);
    if (!pooling || !failures || !delay)
        return std::nullopt;
    const auto u8 = [](std::int16_t v) { return static_cast<std::uint8_t>(v); };
    CommittedCopy c;
    c.PoolingMinutes = *pooling;
    c.FailureLimit = *failures;
    c.RunAsService = u8(settings_.RunAsService);
    c.DelayMinutes = *delay;
    c.WebCheckEnabled = u8(settings_.WebCheckEnabled);
    c.NetCheckEnabled = u8(settings_.NetCheckEnabled);
    c.PanelOpacity = u8(settings_.PanelOpacity);
    c.PanelAlwaysOnTop = u8(settings_.PanelAlwaysOnTop);
    c.ShowPanel = u8(settings_.ShowPanel);
    return c;
}

bool SettingsModel::CommitLoaded() {
    bool ok = true;
    for (const auto& [spinner, box] :
         {std::pair{Setting::PoolingMinutes, Setting::PoolingText},
          std::pair{Setting::FailureLimit, Setting::FailureLimitText}}) {
        const auto number = StrictUint8(Text(box));
        const SpinnerBounds b = *BoundsOf(spinner);
        if (number && *number >= b.lower && *number <= b.upper) {
            SetValue(spinner, *number);
        } else {
            ok = false;
            SetValue(spinner, Value(spinner));  // the box shows the spinner's value again
        }
    }
    if (const auto c = FromControls())
        committed_ = *c;
    if (hooks.committed)
        hooks.committed();
    return ok;
}

bool SettingsModel::Confirm() {
    const auto c = FromControls();
    if (!c)
        return false;
    committed_ = *c;
    if (hooks.committed)
        hooks.committed();
    SaveForRule();
    if (hooks.serviceStep)
        hooks.serviceStep(settings_.RunAsService != 0);
    return true;
}

void SettingsModel::Restore(Setting check, std::uint8_t value) {
    std::int16_t* slot = CheckSlot(check);
    if (slot == nullptr || *slot == value)
        return;
    *slot = value;
    Notify(check);
}

void SettingsModel::Cancelar(bool svis) {
    const bool serviceDiffers = settings_.RunAsService != committed_.RunAsService;
    const bool serviceCheckedNow = settings_.RunAsService != 0;
    const CommittedCopy c = committed_;

    SetTextOf(settings_.PoolingMinutes, Setting::PoolingText, std::to_string(c.PoolingMinutes));
    SetValue(Setting::PoolingMinutes, c.PoolingMinutes);
    SetTextOf(settings_.FailureLimit, Setting::FailureLimitText, std::to_string(c.FailureLimit));
    SetValue(Setting::FailureLimit, c.FailureLimit);
    Restore(Setting::RunAsService, c.RunAsService);
    SetValue(Setting::DelayMinutes, c.DelayMinutes);
    // The probe boxes go back without their click rule: a cancel never saves.
    Restore(Setting::WebCheck, c.WebCheckEnabled);
    Restore(Setting::ShowPanel, c.ShowPanel);
    Restore(Setting::PanelOnTop, c.PanelAlwaysOnTop);
    SetValue(Setting::PanelOpacity, c.PanelOpacity);
    Restore(Setting::NetCheck, c.NetCheckEnabled);

    if (hooks.committed)
        hooks.committed();
    // The registration follows the committed value again.
    if (serviceDiffers && hooks.serviceStep)
        hooks.serviceStep(!serviceCheckedNow);
    if (svis && hooks.reapplyAlwaysOnTop)
        hooks.reapplyAlwaysOnTop();
}

}  // namespace vgx
