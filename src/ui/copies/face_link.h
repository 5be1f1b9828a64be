#pragma once

#include <QObject>
#include <QTimer>
#include <filesystem>
#include <memory>

#include "app/restart_warning.h"
#include "loop/event_loop.h"
#include "service/channel_protocol.h"

namespace vgx {

class AppWindows;
class ChannelClient;
class Engine;
struct WarningSource;

// A desktop copy that found the program directory's lock held: it runs no watchdog of its own
// and is the face of the copy that does. Its windows show that copy's state and send it what
// the user does: saved settings and jobs, the reset, the restart button and the cancel of a
// restart warning. When that copy ends, the face says so and waits for a new one to answer.
class FaceLink : public QObject {
    Q_OBJECT
public:
    FaceLink(Engine& engine, AppWindows& windows, const std::filesystem::path& programDir);
    ~FaceLink() override;

    // The restart warning of the running copy, as the face's warning window shows it.
    WarningSource Warning();
    // After the windows are attached: their commands go to the running copy.
    void Bind();
    bool Connected() const;

    static constexpr const char* kEndedText =
        "O Vigiax em execução nesta pasta terminou ou não responde: esta janela não vigia nada. "
        "Abra o Vigiax de novo.";
    static constexpr const char* kEndedTip = "Vigiax: o vigia em execução terminou ou não responde";

private:
    void Connect();
    void Apply(const RemoteState& state);
    void Lost();
    void CancelRestart();
    void ResetFailures();

    Engine& engine_;
    AppWindows& windows_;
    std::unique_ptr<ChannelClient> client_;
    RestartWarning mirror_;
    QTimer retry_;
    LoopHandle question_;
};

}  // namespace vgx
