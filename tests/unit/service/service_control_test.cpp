// Installing, removing and controlling the service on a temporary unit folder, with systemctl
// played by a recording runner; the real runners on harmless shell commands.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <syslog.h>

#include "service/service_control.h"
#include "support/recording_systemctl.h"
#include "support/temp_dir.h"

namespace vgx::test {
namespace {

using namespace ::testing;

const CommandResult kFails{true, 1, ""};

struct Service {
    TempDir dir;
    RecordingSystemctl systemctl;
    std::filesystem::path program = dir / "pasta com espaço/vigiax";
    std::filesystem::path unit = dir / "vigiax.service";
    ServiceControl control{dir.path(), program, systemctl, systemctl};
};

TEST(ServiceUnit, StartsTheProgramQuotedAsANotifyServiceWithAWatchdog) {
    const std::string text = ServiceUnitText("/opt/pasta com espaço/vigiaxd");
    for (const char* line :
         {"\nType=notify\n", "\nExecStart=\"/opt/pasta com espaço/vigiaxd\"\n",
          "\nRestart=on-failure\n", "\nWatchdogSec=120s\n", "\nAfter=network-online.target\n",
          "\nWants=network-online.target\n", "\nUnsetEnvironment=DISPLAY XAUTHORITY",
          "[Install]\nWantedBy=multi-user.target\n", "[X-Parameters]\nTimerInterval=300\n"}) {
        EXPECT_THAT(text, HasSubstr(line));
    }
    EXPECT_THAT(text, Not(HasSubstr("\nEnvironment")));
    EXPECT_EQ(QuoteForSystemd("a \"b\" c\\d 100%\n"), R"("a \"b\" c\\d 100%%\x0a")");
}

// The packaged copy: its package ships the unit; ticking the box enables and starts it, and
// unticking stops and disables it, and no unit is written or removed.
TEST(ServiceControl, ThePackagedCopyOnlyEnablesAndStartsTheShippedUnit) {
    Service s;
    const std::filesystem::path daemon = "/usr/lib/vigiax/vigiaxd";
    WriteFile(s.unit, "[Service]\nExecStart=" + daemon.string() + " --data-dir /var/lib/vigiax\n");
    EXPECT_TRUE(UnitStarts(s.unit, daemon));
    EXPECT_FALSE(UnitStarts(s.unit, "/usr/lib/vigiax/vigiax"));
    ServiceControl packaged(s.dir.path(), daemon, s.systemctl, s.systemctl,
                            ServiceControl::Unit::Shipped);
    EXPECT_EQ(packaged.InstallService(true).message, "Vigiax: serviço instalado");
    EXPECT_EQ(packaged.UninstallService(false).succeeded, true);
    EXPECT_THAT(s.systemctl.calls, ElementsAre("systemctl enable --now vigiax.service",
                                               "systemctl disable --now vigiax.service"));
    EXPECT_THAT(ReadFile(s.unit), HasSubstr("--data-dir"));
}

TEST(ServiceControl, InstallsAndRemovesWithAndWithoutAMessage) {
    Service s;
    EXPECT_EQ(s.control.InstallService(true).message, "Vigiax: serviço instalado");
    EXPECT_EQ(ReadFile(s.unit), ServiceUnitText(s.program));
    // Every confirm installs again over the same unit, silently.
    EXPECT_EQ(s.control.InstallService(false).message, std::nullopt);

    EXPECT_EQ(s.control.UninstallService(true).message, "Vigiax: serviço desinstalado");
    EXPECT_FALSE(std::filesystem::exists(s.unit));
    EXPECT_THAT(s.systemctl.calls,
                ElementsAre("systemctl daemon-reload", "systemctl enable vigiax.service",
                            "systemctl daemon-reload", "systemctl enable vigiax.service",
                            "systemctl disable vigiax.service", "systemctl daemon-reload"));
    EXPECT_THAT(s.systemctl.logged, IsEmpty());

    // Nothing left to disable.
    s.systemctl.answers["disable"] = kFails;
    EXPECT_EQ(s.control.UninstallService(true).message, "Vigiax: falhou a desinstalação!");
    EXPECT_FALSE(s.control.UninstallService(false).message.has_value());
}

TEST(ServiceControl, AFailedInstallationLeavesWhatWasThereAndLogsWhy) {
    // How it fails, and what the system log is told.
    const std::pair<void (*)(Service&), const char*> cases[] = {
        {[](Service& s) { s.systemctl.answers["enable"] = kFails; },
         "[1] systemctl enable vigiax.service"},
        {[](Service& s) { s.systemctl.answers["daemon-reload"] = kFails; },  // no systemd running
         "[1] systemctl daemon-reload"},
        {[](Service& s) { s.systemctl.absent = true; }, "[2] systemctl daemon-reload"},
        {[](Service& s) { s.program = s.dir / "d'x/vigiax"; },  // a path systemd will not start
         "[22] "},
        {[](Service& s) { s.program = s.dir / "caf\xe9/vigiax"; },  // Latin-1: not UTF-8
         "[22] "},
    };
    for (const auto& [fail, logged] : cases) {
        for (const bool before : {false, true}) {
            SCOPED_TRACE(std::string(logged) + (before ? ", over an older unit" : ""));
            Service s;
            if (before)
                WriteFile(s.unit, "[Service]\nExecStart=/old\n");
            fail(s);
            ServiceControl control(s.dir.path(), s.program, s.systemctl, s.systemctl);

            EXPECT_EQ(control.InstallService(true).message, "Vigiax: falhou a instalação!");
            EXPECT_EQ(ReadFile(s.unit), before ? "[Service]\nExecStart=/old\n" : "");
            // No temporary file of the writer either.
            EXPECT_EQ(Names(s.dir.path()).size(), before ? 1U : 0U);
            EXPECT_THAT(s.systemctl.logged,
                        ElementsAre(AllOf(StartsWith(std::to_string(LOG_ERR) + " " + logged),
                                          EndsWith(" -> Evento Install Service"))));
        }
    }
}

TEST(ServiceControl, StateFromWhatSystemdShows) {
    Service s;
    s.systemctl.answers["show"] = {true, 0, "StatusText=Serviço Pausado\nActiveState=active\n"};
    EXPECT_EQ(s.control.QueryServiceState(), kServicePaused);
    EXPECT_THAT(s.systemctl.calls, ElementsAre("systemctl show vigiax.service --property="
                                               "LoadState,ActiveState,SubState,StatusText"));
    s.systemctl.answers["show"].exitStatus = 1;
    EXPECT_EQ(s.control.QueryServiceState(), 0);

    const std::pair<const char*, int> cases[] = {
        {"LoadState=loaded\nActiveState=active\nSubState=running\nStatusText=Vigiando\n", 4},
        {"LoadState=loaded\nActiveState=activating\nSubState=auto-restart\n", 2},
        {"LoadState=loaded\nActiveState=deactivating\n", 3},
        {"LoadState=loaded\nActiveState=inactive\n", 1},
        {"LoadState=not-found\nActiveState=inactive\n", 0},
        {"LoadState=not-found\nActiveState=active\n", 4},  // removed while running
        {"", 0},
    };
    for (const auto& [show, state] : cases)
        EXPECT_EQ(ServiceStateFromShow(show), state) << show;
}

// systemd's own checker on the unit the program writes, with a real executable behind it.
TEST(ServiceControl, SystemdAcceptsTheUnitItWrites) {
    if (::access("/usr/bin/systemd-analyze", X_OK) != 0)
        GTEST_SKIP() << "systemd-analyze is not installed";
    Service s;
    std::filesystem::create_directories(s.program.parent_path());
    WriteFile(s.program, "#!/bin/sh\n");
    std::filesystem::permissions(s.program, std::filesystem::perms::owner_all);
    ASSERT_TRUE(s.control.InstallService(false).succeeded);

    const CommandResult said = MakeSystemCommandRunner()->Run(
        {"sh", "-c", "systemd-analyze verify \"$0\" 2>&1", s.unit.string()});
    EXPECT_EQ(said.exitStatus, 0);
    EXPECT_EQ(said.output, "");
}

TEST(CommandRunner, KeepsTheOutputAndTheExitStatus) {
    const auto runner = MakeSystemCommandRunner();
    const CommandResult r = runner->Run({"sh", "-c", "echo ActiveState=active; exit 3"});
    EXPECT_TRUE(r.started);
    EXPECT_EQ(r.exitStatus, 3);
    EXPECT_EQ(r.output, "ActiveState=active\n");
    EXPECT_FALSE(runner->Run({"vgx-no-such-program"}).started);
}

}  // namespace
}  // namespace vgx::test
