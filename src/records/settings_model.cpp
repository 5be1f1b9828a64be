#include "records/settings_model.h"

#include <algorithm>
#include <utility>

#include "records/settings_file.h"

namespace vgx {

std::optional<SpinnerBounds> BoundsOf(Control spinner) {
    switch (spinner) {
        case Control::VScroll1:
            return SpinnerBounds{30, 1, 1, 3};
        case Control::VScroll2:
            return SpinnerBounds{10, 1, 1, 7};
        case Control::VScroll3:
            return SpinnerBounds{255, 80, 5, 180};
        case Control::VScroll4:
            return SpinnerBounds{15, 0, 1, 0};
        default:
            return std::nullopt;
    }
}

int ListSize(Control list) {
    switch (list) {
        case Control::cmbAcaoNet:
            return 2;  // "Sem Ação", "Reiniciar Computador"
        case Control::cmbIIS:
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

std::int16_t* SettingsModel::CheckSlot(Control c) {
    switch (c) {
        case Control::chkAtiNet:
            return &settings_.NetCheckEnabled;
        case Control::chkServicoNT:
            return &settings_.RunAsService;
        case Control::chkAtiIIS:
            return &settings_.IISCheckEnabled;
        case Control::chkBootReset:
            return &settings_.BootReset;
        case Control::chkPanel:
            return &settings_.ShowPanel;
        case Control::chkSVisi:
            return &settings_.PanelAlwaysOnTop;
        default:
            return nullptr;
    }
}

std::int16_t* SettingsModel::ListSlot(Control c) {
    switch (c) {
        case Control::cmbAcaoNet:
            return &settings_.NetAction;
        case Control::cmbIIS:
            return &settings_.IISAction;
        default:
            return nullptr;
    }
}

std::int16_t* SettingsModel::SpinnerSlot(Control c) {
    switch (c) {
        case Control::VScroll1:
            return &vscroll1_;
        case Control::VScroll2:
            return &vscroll2_;
        case Control::VScroll3:
            return &settings_.PanelOpacity;
        case Control::VScroll4:
            return &settings_.DelayMinutes;
        default:
            return nullptr;
    }
}

std::string* SettingsModel::TextSlot(Control c) {
    switch (c) {
        case Control::txtPoling:
            return &settings_.PoolingMinutes;
        case Control::txtFalha:
            return &settings_.FailureLimit;
        case Control::txtURL1:
            return &settings_.NetAddress1;
        case Control::txtURL2:
            return &settings_.NetAddress2;
        case Control::txtURLIIS:
            return &settings_.IISUrl;
        case Control::txtOpa:
            return &txtOpa_;
        case Control::txtAtra:
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

void SettingsModel::Notify(Control c) const {
    // A copy: a listener may add or remove listeners while it runs.
    const auto listeners = listeners_;
    for (const auto& [id, listener] : listeners)
        listener(c);
}

// ---- texts ----

std::string_view SettingsModel::Text(Control box) const {
    const std::string* slot = const_cast<SettingsModel*>(this)->TextSlot(box);
    return slot != nullptr ? std::string_view(*slot) : std::string_view();
}

bool SettingsModel::SetText(Control box, std::string_view text) {
    if (box != Control::txtURL1 && box != Control::txtURL2 && box != Control::txtURLIIS) {
        return false;
    }
    SetTextOf(*TextSlot(box), box, text);
    return true;
}

void SettingsModel::SetTextOf(std::string& slot, Control c, std::string_view text) {
    std::string clean = WithoutQuotes(text);
    if (clean == slot)
        return;
    slot = std::move(clean);
    Notify(c);
}

// ---- values and their rules ----

int SettingsModel::Value(Control c) const {
    auto* self = const_cast<SettingsModel*>(this);
    if (const auto* s = self->CheckSlot(c))
        return *s;
    if (const auto* s = self->ListSlot(c))
        return *s;
    if (const auto* s = self->SpinnerSlot(c))
        return *s;
    return 0;
}

bool SettingsModel::SetValue(Control c, int value) {
    if (auto* s = CheckSlot(c))
        return SetCheck(*s, c, value);
    if (auto* s = ListSlot(c))
        return SetList(*s, c, value);
    if (auto* s = SpinnerSlot(c))
        return SetSpinner(*s, c, value);
    return false;
}

bool SettingsModel::SetCheck(std::int16_t& slot, Control c, int value) {
    if (value < 0 || value > 2)
        return false;
    if (slot == value)
        return true;
    slot = static_cast<std::int16_t>(value);
    Notify(c);
    if (c == Control::chkAtiNet || c == Control::chkAtiIIS) {
        // Switching a probe saves at once and makes the new value the committed one. A load
        // in progress is not saved half-read; start-up commits after it.
        if (!loading_)
            SaveForRule();
        auto& flag =
            c == Control::chkAtiNet ? committed_.NetCheckEnabled : committed_.IISCheckEnabled;
        flag = static_cast<std::uint8_t>(value);
        if (hooks.committed)
            hooks.committed();
    }
    return true;
}

bool SettingsModel::SetList(std::int16_t& slot, Control c, int value) {
    if (value < 0 || value >= ListSize(c))
        return false;
    if (slot == value)
        return true;
    slot = static_cast<std::int16_t>(value);
    Notify(c);
    if (c == Control::cmbAcaoNet) {
        // A new Internet action must pass the check's test again.
        SetValue(Control::chkAtiNet, 0);
    } else {
        const bool shown = value == 1;
        if (shown != bootResetShown_) {
            bootResetShown_ = shown;
            Notify(Control::chkBootReset);
        }
        if (!shown)
            SetValue(Control::chkBootReset, 0);
    }
    return true;
}

bool SettingsModel::SetSpinner(std::int16_t& slot, Control c, int value) {
    const SpinnerBounds b = *BoundsOf(c);
    if (value > b.upper || value < b.lower)
        return false;
    if (slot != value) {
        slot = static_cast<std::int16_t>(value);
        Notify(c);
    }
    switch (c) {
        case Control::VScroll1:
            SetTextOf(settings_.PoolingMinutes, Control::txtPoling, std::to_string(value));
            break;
        case Control::VScroll2:
            SetTextOf(settings_.FailureLimit, Control::txtFalha, std::to_string(value));
            break;
        case Control::VScroll3:
            SetTextOf(txtOpa_, Control::txtOpa, std::to_string(OpacityPercent(value)) + "%");
            break;
        default:
            SetTextOf(txtAtra_, Control::txtAtra, std::to_string(value));
            break;
    }
    return true;
}

bool SettingsModel::StepSpinner(Control spinner, bool up) {
    const auto b = BoundsOf(spinner);
    if (!b)
        return false;
    const int v = Value(spinner);
    return SetValue(
        spinner, up ? std::min(v + b->step, int{b->upper}) : std::max(v - b->step, int{b->lower}));
}

bool SettingsModel::KeyDown(Control box, int keyCode) {
    Control spinner;
    switch (box) {
        case Control::txtPoling:
            spinner = Control::VScroll1;
            break;
        case Control::txtFalha:
            spinner = Control::VScroll2;
            break;
        case Control::txtOpa:
            spinner = Control::VScroll3;
            break;
        case Control::txtAtra:
            spinner = Control::VScroll4;
            break;
        default:
            return false;
    }
    const SpinnerBounds b = *BoundsOf(spinner);
    const int v = Value(spinner);
    if (keyCode == kKeyUp) {
        if (v < b.upper)
            SetValue(spinner, v + 1);
        return true;
    }
    if (keyCode == kKeyDown) {
        if (v > b.lower)
            SetValue(spinner, v - 1);
        return true;
    }
    return false;
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
    const auto leading = [&](Control c) {
        const auto v = LeadingInt16(field);
        return v.has_value() && SetValue(c, *v);
    };
    const auto strictList = [&](Control c) {
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
            SetTextOf(settings_.PoolingMinutes, Control::txtPoling, field);
            return true;
        case 3:
            SetTextOf(settings_.FailureLimit, Control::txtFalha, field);
            return true;
        case 4:
            return leading(Control::chkAtiNet);
        case 5:
            return leading(Control::chkServicoNT);
        case 6:
            SetTextOf(settings_.NetAddress1, Control::txtURL1, field);
            return true;
        case 7:
            SetTextOf(settings_.NetAddress2, Control::txtURL2, field);
            return true;
        case 8: {
            const auto v = StrictUint8(field);
            if (v)
                settings_.Boota = *v;
            return v.has_value();
        }
        case 9:
            return strictList(Control::cmbAcaoNet);
        case 10: {
            const auto day = ParseDate(field);
            if (day)
                settings_.DataAtual = day;
            return day.has_value();
        }
        case 11:
            SetTextOf(settings_.IISUrl, Control::txtURLIIS, field);
            return true;
        case 12:
            return strictList(Control::cmbIIS);
        case 13:
            return leading(Control::chkAtiIIS);
        case 14:
            return leading(Control::chkBootReset);
        case 15:
            return number(settings_.PanelLeft);
        case 16:
            return number(settings_.PanelTop);
        case 17:
            return leading(Control::chkPanel);
        case 18:
            return leading(Control::chkSVisi);
        case 19:
            return leading(Control::VScroll3);
        case 20:
            return leading(Control::VScroll4);
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
    c.IISCheckEnabled = u8(settings_.IISCheckEnabled);
    c.NetCheckEnabled = u8(settings_.NetCheckEnabled);
    c.PanelOpacity = u8(settings_.PanelOpacity);
    c.PanelAlwaysOnTop = u8(settings_.PanelAlwaysOnTop);
    c.ShowPanel = u8(settings_.ShowPanel);
    return c;
}

bool SettingsModel::CommitLoaded() {
    bool ok = true;
    for (const auto& [spinner, box] : {std::pair{Control::VScroll1, Control::txtPoling},
                                       std::pair{Control::VScroll2, Control::txtFalha}}) {
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

void SettingsModel::Restore(Control check, std::uint8_t value) {
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

    SetTextOf(settings_.PoolingMinutes, Control::txtPoling, std::to_string(c.PoolingMinutes));
    SetValue(Control::VScroll1, c.PoolingMinutes);
    SetTextOf(settings_.FailureLimit, Control::txtFalha, std::to_string(c.FailureLimit));
    SetValue(Control::VScroll2, c.FailureLimit);
    Restore(Control::chkServicoNT, c.RunAsService);
    SetValue(Control::VScroll4, c.DelayMinutes);
    // The probe boxes go back without their click rule: a cancel never saves.
    Restore(Control::chkAtiIIS, c.IISCheckEnabled);
    Restore(Control::chkPanel, c.ShowPanel);
    Restore(Control::chkSVisi, c.PanelAlwaysOnTop);
    SetValue(Control::VScroll3, c.PanelOpacity);
    Restore(Control::chkAtiNet, c.NetCheckEnabled);

    if (hooks.committed)
        hooks.committed();
    // The registration follows the committed value again.
    if (serviceDiffers && hooks.serviceStep)
        hooks.serviceStep(!serviceCheckedNow);
    if (svis && hooks.reapplyAlwaysOnTop)
        hooks.reapplyAlwaysOnTop();
}

}  // namespace vgx
