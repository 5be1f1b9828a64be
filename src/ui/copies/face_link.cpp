#include "ui/copies/face_link.h"

#include "app/engine.h"
#include "cleaning/jobs_file.h"
#include "service/channel_server.h"
#include "ui/app_windows.h"
#include "ui/restart_warning_window.h"

namespace vgx {

FaceLink::FaceLink(Engine& engine, AppWindows& windows, const std::filesystem::path& programDir)
    : engine_(engine),
      windows_(windows),
      client_(std::make_unique<ChannelClient>(
          engine.Loop(), programDir, [this](const RemoteState& state) { Apply(state); },
          [this] { Lost(); })) {
    retry_.setInterval(3000);
    connect(&retry_, &QTimer::timeout, this, [this] { Connect(); });
}

FaceLink::~FaceLink() = default;

bool FaceLink::Connected() const {
    return client_->Connected();
}

WarningSource FaceLink::Warning() {
    return {[this]() -> const RestartWarning& { return mirror_; }, [this] { CancelRestart(); }};
}

void FaceLink::Bind() {
    WindowContext& context = windows_.Context();
    context.resetFailures = [this] { ResetFailures(); };
    context.restartButton = [this] { client_->Send(ChannelMessageType::RestartButton); };
    context.jobsSaved = [this] { client_->Send(ChannelMessageType::JobsSaved); };
    // Before an edit the jobs are read again, so a save here carries the running copy's marks.
    context.refreshJobs = [this] {
        if (auto jobs = ReadCleaningJobs(engine_.ProgramDir()))
            engine_.Jobs() = std::move(*jobs);
    };
    engine_.Settings().hooks.saved = [this] { client_->Send(ChannelMessageType::SettingsSaved); };
    Connect();
    if (!Connected())
        Lost();
}

void FaceLink::Connect() {
    if (!client_->Connect())
        return;
    retry_.stop();
    windows_.SetTrayToolTip(QStringLiteral("Vigiax"));
}

void FaceLink::Apply(const RemoteState& state) {
    PanelState& panel = engine_.Panel();
    panel.report = state.text1;
    panel.failureLabel = state.failureLabel;
    panel.colours = state.colours;
    panel.trayPicture = state.trayPicture;
    const bool pauseChanged = state.paused != engine_.Paused();
    engine_.ShowPaused(state.paused);
    engine_.Dog().ShowPublishedFailures(state.nfalhas);
    const bool wasCounting = mirror_.Counting();
    mirror_.Mirror(state.warningCounting, state.warningCounter);
    windows_.StateChanged();
    if (pauseChanged)
        windows_.ServicePauseChanged(state.paused);
    if (state.warningCounting && !wasCounting)
        windows_.ShowRestartWarning();
    else if (!state.warningCounting && wasCounting)
        windows_.HideRestartWarning();
}

void FaceLink::Lost() {
    mirror_.Stop();
    windows_.HideRestartWarning();
    PanelState& panel = engine_.Panel();
    panel.report = std::string(kEndedText) + "\r\n";
    panel.failureLabel.clear();
    panel.colours = ReportColours::Normal;
    panel.trayPicture = kTrayPaused;
    windows_.SetTrayToolTip(QString::fromUtf8(kEndedTip));
    windows_.StateChanged();
    retry_.start();
}

void FaceLink::CancelRestart() {
    // The countdown stops in the running copy first; then the user is told here.
    client_->Send(ChannelMessageType::CancelRestart);
    mirror_.Stop();
    windows_.Beep();
    windows_.HideRestartWarning();
    windows_.Tell(Notice(kCancelledRestartText));
    engine_.Settings().Cancelar(true);
}

void FaceLink::ResetFailures() {
    question_ = windows_.Ask(Question(kResetQuestionText), [this](PromptAnswer answer) {
        question_.reset();
        if (answer != PromptAnswer::Yes)
            return;
        client_->Send(ChannelMessageType::ResetFailures);
        Prompt done = Notice(kResetDoneText);
        done.Beep = true;
        windows_.Tell(done);
    });
}

}  // namespace vgx
