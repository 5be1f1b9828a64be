#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/panel_state.h"

namespace vgx {

// The messages between the copy that runs the watchdog and a desktop copy that shows it (its
// face), one frame each:
//
//   bytes  field
//   4      length of the rest of the frame, unsigned, big-endian (2 to 65532)
//   1      version, 1
//   1      type, ChannelMessageType
//   ...    the type's fields; a frame ends exactly where its last field ends
//
// A command (types 2 to 6) has no fields. A State has, in this order:
//
//   1      colours: 0 normal, 1 warning, 2 alarm
//   1      tray picture, 9 to 12
//   1      paused, 0 or 1
//   1      restart warning counting, 0 or 1
//   1      restart warning counter
//   4      failure count, IEEE-754 single precision bits, big-endian; finite and not negative
//   4+n    failureLabel: length n (at most 256), big-endian, then n bytes
//   4+m    report text: length m (at most 16384), big-endian, then m bytes
//
// A frame is at most 64 KiB in all. Every value has one encoding, so a decoded frame encodes
// back to the same bytes.
inline constexpr std::uint8_t kChannelVersion = 1;
inline constexpr std::size_t kChannelMaxFrame = 64 * 1024;
inline constexpr std::size_t kChannelMaxReport = 16 * 1024;
inline constexpr std::size_t kChannelMaxLabel = 256;

enum class ChannelMessageType : std::uint8_t {
    State = 1,          // running copy -> face: what the watchdog shows
    SettingsSaved = 2,  // face -> running copy: vgx.cfg was saved, take it up
    JobsSaved = 3,      // face -> running copy: folder.dat was saved, take it up
    ResetFailures = 4,  // face -> running copy: the reset button, after the user's Yes
    RestartButton = 5,  // face -> running copy: the manual restart button
    CancelRestart = 6,  // face -> running copy: the restart warning was cancelled
};

// The commands a face sends; everything but State.
constexpr bool IsChannelCommand(ChannelMessageType type) {
    return type >= ChannelMessageType::SettingsSaved && type <= ChannelMessageType::CancelRestart;
}

// What the running copy's watchdog shows.
struct RemoteState {
    std::string text1;         // report text (CR LF lines); at most its last 16 KiB are sent
    std::string failureLabel;  // "FALHAS: n"; at most its first 256 bytes are sent
    ReportColours colours = ReportColours::Normal;
    int trayPicture = kTrayNormal;  // 9..12
    float nfalhas = 0;              // the failure count as last published
    bool paused = false;            // ServicePaused
    bool warningCounting = false;   // a restart warning is counting down
    std::uint8_t warningCounter = 0;
    bool operator==(const RemoteState&) const = default;
};

struct ChannelMessage {
    ChannelMessageType type = ChannelMessageType::State;
    RemoteState state;  // State only
    bool operator==(const ChannelMessage&) const = default;
};

// One whole frame. Texts are cut on a UTF-8 character boundary to their limits; a value out of
// range (a failure count that is not a finite count, an unknown colour or picture) is sent as
// its default.
std::string EncodeChannelMessage(const ChannelMessage& m);

// Takes the bytes of a stream as they come and yields its messages one at a time. Broken, for
// good, on a frame longer than 64 KiB (known from its first four bytes), a wrong version, an
// unknown type, fields that do not fit their frame or do not fill it, or values out of range.
// It never reads past a frame.
class ChannelDecoder {
public:
    enum class Result { NeedMore, Message, Broken };

    void Feed(std::string_view bytes);
    Result Next(ChannelMessage& out);

private:
    std::string buffer_;
    bool broken_ = false;
};

}  // namespace vgx
