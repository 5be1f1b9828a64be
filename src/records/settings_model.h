#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "records/clock.h"
#include "records/settings.h"

namespace vgx {

// The settings as the settings window edits them, one value each: the texts shown in the boxes
// (counted before they are confirmed), the switches, the action lists and the numbers behind
// the spinners.
enum class Setting {
    PoolingText,              // text of the pooling interval in minutes (stored)
    FailureLimitText,         // text of the failure limit (stored)
    NetAddress1,              // text, the first address pinged
    NetAddress2,              // text, the second address pinged
    WebPage,                  // text, the page the web check asks for
    OpacityText,              // text, the panel's opacity as a percentage
    DelayText,                // text, the start delay in minutes
    NetCheck,                 // switch, the Internet check
    RunAsService,             // switch, run as a system service
    WebCheck,                 // switch, the web-server check
    RestartAfterWebRestarts,  // switch, shown only while the web action is a web-server restart
    ShowPanel,                // switch, the status panel
    PanelOnTop,               // switch, the panel above other windows
    NetAction,                // list, what a failing Internet check does (NetFailureAction)
    WebAction,                // list, what a failing web check does (WebFailureAction)
    PoolingMinutes,           // number 1 to 30 behind PoolingText
    FailureLimit,             // number 1 to 10 behind FailureLimitText
    PanelOpacity,             // number 80 to 255, the panel's alpha
    DelayMinutes,             // number 0 to 15 behind DelayText
};

// What a failing Internet check does, as the list stores it.
enum class NetFailureAction { Nothing = 0, RestartComputer = 1 };
// What a failing web check does, as the list stores it.
enum class WebFailureAction { Nothing = 0, RestartWebServer = 1, RestartComputer = 2 };

// The arrow keys in a number's box.
enum class ArrowKey { Up, Down };

// A number's range: `upper` is reached with the up arrow.
struct SpinnerBounds {
    std::int16_t upper;
    std::int16_t lower;
    std::int16_t step;
    std::int16_t initial;
};

std::optional<SpinnerBounds> BoundsOf(Setting spinner);

// Number of entries of a list (NetAction 2, WebAction 3); 0 for other settings.
int ListSize(Setting list);

// The percentage shown for a panel alpha of 80 to 255: 30 to 100.
int OpacityPercent(int alpha);

enum class LoadStatus {
    kLoaded,     // all twenty fields applied
    kNoFile,     // the file could not be opened; nothing changed
    kShortFile,  // the file ended before `line`
    kBadValue,   // field `line` did not convert or its control refused it
};

struct LoadResult {
    LoadStatus status = LoadStatus::kLoaded;
    int line = 0;  // 1 to 20 when the load stopped at a field

    bool Complete() const { return status == LoadStatus::kLoaded; }
};

// What the model asks of the rest of the program. Every hook may be left empty.
struct SettingsHooks {
    // Bring the service registration in line: true installs, false removes (no message).
    std::function<void(bool install)> serviceStep;
    // Apply the panel's always-on-top choice again.
    std::function<void()> reapplyAlwaysOnTop;
    // A save made by a rule (confirm, probe switch) failed.
    std::function<void()> saveFailed;
    // vgx.cfg was written (by any save of this model).
    std::function<void()> saved;
    // The committed values were taken anew (a commit, a confirm, a cancel, a probe switch).
    std::function<void()> committed;
};

// The working settings as the settings window shows them, the committed copy beside them,
// and the rules that tie the controls together. Every window edits it and the engine reads
// it at the moment of use, so values being edited count before they are confirmed.
class SettingsModel {
public:
    SettingsModel(std::filesystem::path programDir, const Clock& clock);

    SettingsHooks hooks;

    // Every window that shows a setting listens: a control's value, text or visibility changed
    // (by an edit, a rule, a load or a cancel). Listeners are called in the order they were added.
    using Listener = std::function<void(Setting)>;
    int AddListener(Listener listener);
    void RemoveListener(int id);

    std::filesystem::path FilePath() const;

    // Control-bound values change through the setters below so that their rules run; the
    // values without a control (KeptText, ThresholdEvents, ThresholdDay, PanelLeft, PanelTop) are
    // written here directly.
    Settings& Working() { return settings_; }
    const Settings& Working() const { return settings_; }
    const CommittedCopy& Committed() const { return committed_; }

    // Reads vgx.cfg field by field; the first field that fails stops the load, leaving the
    // values read so far applied and the rest as they were. Line 4 is applied last.
    LoadResult LoadSettings();
    LoadResult LoadFromText(std::string_view text);
    // Writes the working values, with today's date as line 10. False on failure.
    bool SaveSettings() const;
    std::string SettingsText() const;

    // After the start-up load or first save: the pooling and failure spinners take the numbers
    // of their boxes and the committed copy is taken from the controls. A box whose text is not
    // a whole number within its spinner's range gets the spinner's value instead; the result
    // is false then.
    bool CommitLoaded();
    // The confirm button after its question: commit, save, service step. False, with nothing
    // committed or saved, when a numeric box does not hold a whole number from 0 to 255.
    bool Confirm();
    // Puts the committed values back (nothing is saved); `svis` re-applies always-on-top.
    void Cancelar(bool svis);

    std::string_view Text(Setting box) const;
    // Text boxes the user types into (txtURL1, txtURL2, txtURLIIS); double quotes are dropped.
    // False for any other control.
    bool SetText(Setting box, std::string_view text);

    // Check box value, list index or spinner value; 0 for a text box.
    int Value(Setting control) const;
    // False, changing nothing, when the control does not accept the value (check boxes take
    // 0 to 2, lists an index into the list, spinners a value within their bounds).
    bool SetValue(Setting control, int value);
    // A click on a number's arrow: one step towards its upper or lower bound.
    bool StepNumber(Setting number, bool up);
    // An arrow key in the box of PoolingText, FailureLimitText, OpacityText or DelayText: one
    // unit, within bounds. False for any other box.
    bool StepByKey(Setting box, ArrowKey key);

    // The values in use, typed: what is being edited counts before it is confirmed; a text that
    // is no number falls back to the confirmed value.
    double PoolingMinutesInUse() const;
    double FailureLimitInUse() const;
    // The confirmed start delay.
    std::chrono::seconds StartDelay() const;
    bool NetCheckOn() const { return settings_.NetCheckEnabled != 0; }
    bool WebCheckOn() const { return settings_.WebCheckEnabled != 0; }
    bool RestartAfterWebRestartsOn() const { return settings_.RestartAfterWebRestarts == 1; }
    NetFailureAction NetActionInUse() const;
    WebFailureAction WebActionInUse() const;

    bool BootResetShown() const { return bootResetShown_; }

private:
    std::int16_t* CheckSlot(Setting c);
    std::int16_t* ListSlot(Setting c);
    std::int16_t* SpinnerSlot(Setting c);
    std::string* TextSlot(Setting c);

    bool SetCheck(std::int16_t& slot, Setting c, int value);
    bool SetList(std::int16_t& slot, Setting c, int value);
    bool SetSpinner(std::int16_t& slot, Setting c, int value);
    void SetTextOf(std::string& slot, Setting c, std::string_view text);
    void Restore(Setting check, std::uint8_t value);
    bool ApplyField(int line, const std::string& field);
    std::optional<CommittedCopy> FromControls() const;
    void Notify(Setting c) const;
    void SaveForRule() const;

    std::filesystem::path programDir_;
    const Clock& clock_;
    Settings settings_;
    CommittedCopy committed_;
    std::int16_t vscroll1_ = 3;
    std::int16_t vscroll2_ = 7;
    std::string txtOpa_;
    std::string txtAtra_ = "0";
    bool bootResetShown_ = false;
    bool loading_ = false;
    std::vector<std::pair<int, Listener>> listeners_;
    int nextListener_ = 0;
};

}  // namespace vgx
