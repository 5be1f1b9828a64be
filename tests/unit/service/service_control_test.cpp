// Installing, removing and controlling the service on a temporary unit folder, with systemctl
// played by a recording runner.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <syslog.h>

#include <cstdio>
#include <map>

#include "service/service_control.h"
#include "service/service_unit.h"
#include "support/temp_dir.h"

namespace vgx::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

// Answers per systemctl sub-command (success when not listed); records every call.
class RecordingRunner final : public CommandRunner {
public:
    CommandResult Run(const std::vector<std::string>& argv) override {
        std::string call;
        for (const std::string& a : argv)
            call += (call.empty() ? "" : " ") + a;
        calls.push_back(call);
        if (absent)
            return {};
        const auto it = answers.find(argv.at(1));
        return it == answers.end() ? CommandResult{true, 0, ""} : it->second;
    }
    std::map<std::string, CommandResult> answers;
    bool absent = false;
    std::vector<std::string> calls;
};

class RecordingLog final : public SystemLog {
public:
    void Write(int priority, const std::string& message) override {
        entries.emplace_back(priority, message);
    }
    std::vector<std::pair<int, std::string>> entries;
};

struct ServiceFixture {
    TempDir dir;
    RecordingRunner systemctl;
    RecordingLog log;
    std::filesystem::path program = dir / "pasta com espaço/vigiax";
    ServiceControl control{dir.path(), program, systemctl, log};
    std::filesystem::path unit = dir / "vigiax.service";
};

TEST(ServiceUnit, StartsTheProgramQuotedAsANotifyServiceWithAWatchdog) {
    const std::string text = ServiceUnitText("/opt/pasta com espaço/vigiax");
    for (const char* line :
         {"\nType=notify\n", "\nExecStart=\"/opt/pasta com espaço/vigiax\" --service\n",
          "\nRestart=on-failure\n", "\nWatchdogSec=120s\n", "\nAfter=network-online.target\n",
          "\nWants=network-online.target\n", "[Install]\nWantedBy=multi-user.target\n",
          "[X-Parameters]\nTimerInterval=300\n"}) {
        EXPECT_THAT(text, HasSubstr(line));
    }
    EXPECT_THAT(text, HasSubstr("\nUnsetEnvironment=DISPLAY XAUTHORITY"));
    EXPECT_THAT(text, Not(HasSubstr("\nEnvironment")));

    EXPECT_EQ(QuoteForSystemd("a \"b\" c\\d 100%\n"), R"("a \"b\" c\\d 100%%\x0a")");
    EXPECT_TRUE(SystemdAcceptsProgramPath("/opt/100% $pasta;/vigiax"));
    for (const char* refused : {"vigiax", "/opt/a\"b/vigiax", "/opt/a'b/vigiax", "/opt/a\\b/vigiax",
                                "/opt/a\nb/vigiax"}) {
        EXPECT_FALSE(SystemdAcceptsProgramPath(refused)) << refused;
    }
}

TEST(ServiceControl, InstallsAndRemovesWithAndWithoutAMessage) {
    ServiceFixture f;
    const ServiceOutcome installed = f.control.InstallService(true);
    EXPECT_TRUE(installed.succeeded);
    EXPECT_EQ(installed.message, "Vigiax: serviço instalado");
    EXPECT_EQ(ReadFile(f.unit), ServiceUnitText(f.program));
    struct stat st {};
    ASSERT_EQ(::stat(f.unit.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
    EXPECT_THAT(f.systemctl.calls,
                ElementsAre("systemctl daemon-reload", "systemctl enable vigiax.service"));

    // Installing again over the same unit is what every confirm does: silent and fine.
    EXPECT_TRUE(f.control.InstallService(false).succeeded);
    EXPECT_EQ(f.control.InstallService(false).message, std::nullopt);

    f.systemctl.calls.clear();
    const ServiceOutcome removed = f.control.UninstallService(true);
    EXPECT_TRUE(removed.succeeded);
    EXPECT_EQ(removed.message, "Vigiax: serviço desinstalado");
    EXPECT_FALSE(std::filesystem::exists(f.unit));
    EXPECT_THAT(f.systemctl.calls,
                ElementsAre("systemctl disable vigiax.service", "systemctl daemon-reload"));
    EXPECT_THAT(f.log.entries, IsEmpty());

    // Nothing left to disable: a failure, silent when no message was asked for.
    f.systemctl.answers["disable"] = {true, 1, ""};
    EXPECT_EQ(f.control.UninstallService(true).message, "Vigiax: falhou a desinstalação!");
    const ServiceOutcome silent = f.control.UninstallService(false);
    EXPECT_FALSE(silent.succeeded);
    EXPECT_EQ(silent.message, std::nullopt);
}

TEST(ServiceControl, AFailedInstallationLeavesWhatWasThereBefore) {
    struct Case {
        const char* name;
        std::function<void(RecordingRunner&)> fail;
        int number;
    };
    const Case cases[] = {
        {"enable fails",
         [](RecordingRunner& r) {
             r.answers["enable"] = {true, 1, ""};
         },
         1},
        {"no systemd running",
         [](RecordingRunner& r) {
             r.answers["daemon-reload"] = {true, 1, ""};
         },
         1},
        {"no systemctl", [](RecordingRunner& r) { r.absent = true; }, 2},
    };
    for (const Case& c : cases) {
        for (const bool before : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (before ? ", over an older unit" : ""));
            ServiceFixture f;
            if (before)
                WriteFile(f.unit, "[Service]\nExecStart=/old\n");
            c.fail(f.systemctl);

            const ServiceOutcome outcome = f.control.InstallService(true);
            EXPECT_FALSE(outcome.succeeded);
            EXPECT_EQ(outcome.message, "Vigiax: falhou a instalação!");
            if (before)
                EXPECT_EQ(ReadFile(f.unit), "[Service]\nExecStart=/old\n");
            else
                EXPECT_FALSE(std::filesystem::exists(f.unit));
            ASSERT_EQ(f.log.entries.size(), 1u);
            EXPECT_EQ(f.log.entries[0].first, LOG_ERR);
            EXPECT_THAT(
                f.log.entries[0].second,
                testing::AllOf(testing::StartsWith("[" + std::to_string(c.number) + "] systemctl"),
                               testing::EndsWith(" -> Evento Install Service")));
            // No temporary file of the writer either.
            EXPECT_EQ(std::distance(std::filesystem::directory_iterator(f.dir.path()),
                                    std::filesystem::directory_iterator()),
                      before ? 1 : 0);
        }
    }
}

TEST(ServiceControl, RefusesAUnitSystemdCouldNotStartOrNotWrite) {
    ServiceFixture quoted;
    ServiceControl odd(quoted.dir.path(), quoted.dir / "o'brien/vigiax", quoted.systemctl,
                       quoted.log);
    EXPECT_FALSE(odd.InstallService(false).succeeded);

    ServiceFixture missing;
    ServiceControl nowhere(missing.dir / "nao-existe", missing.program, missing.systemctl,
                           missing.log);
    EXPECT_EQ(nowhere.InstallService(true).message, "Vigiax: falhou a instalação!");

    for (ServiceFixture* f : {&quoted, &missing}) {
        EXPECT_THAT(f->systemctl.calls, IsEmpty());
        ASSERT_EQ(f->log.entries.size(), 1u);
        EXPECT_THAT(f->log.entries[0].second, HasSubstr(" -> Evento Install Service"));
    }
    EXPECT_THAT(quoted.log.entries[0].second, testing::StartsWith("[22] "));
    EXPECT_THAT(missing.log.entries[0].second, testing::StartsWith("[2] "));
}

TEST(ServiceControl, StateFromWhatSystemdShows) {
    struct Case {
        const char* show;
        int state;
    };
    const Case cases[] = {
        {"LoadState=loaded\nActiveState=active\nSubState=running\nStatusText=Vigiando\n", 4},
        {"ActiveState=active\nSubState=running\nStatusText=Serviço Pausado\nLoadState=loaded\n", 7},
        {"LoadState=loaded\nActiveState=active\nStatusText=Serviço Continuado\n", 4},
        {"LoadState=loaded\nActiveState=reloading\n", 4},
        {"LoadState=loaded\nActiveState=activating\nSubState=start\n", 2},
        {"LoadState=loaded\nActiveState=activating\nSubState=auto-restart\n", 2},
        {"LoadState=loaded\nActiveState=deactivating\nSubState=stop-sigterm\n", 3},
        {"LoadState=loaded\nActiveState=inactive\nSubState=dead\n", 1},
        {"LoadState=loaded\nActiveState=failed\nSubState=failed\n", 1},
        {"LoadState=not-found\nActiveState=inactive\nSubState=dead\n", 0},
        {"LoadState=not-found\nActiveState=active\nSubState=running\n", 4},  // removed, still up
        {"", 0},
        {"ActiveState=maintenance\n", 0},
    };
    for (const Case& c : cases) {
        ServiceFixture f;
        f.systemctl.answers["show"] = {true, 0, c.show};
        EXPECT_EQ(f.control.QueryServiceState(), c.state) << c.show;
        EXPECT_THAT(f.systemctl.calls,
                    ElementsAre("systemctl show vigiax.service "
                                "--property=LoadState,ActiveState,SubState,StatusText"));
    }
    ServiceFixture down;
    down.systemctl.answers["show"] = {true, 1, "ActiveState=active\n"};
    EXPECT_EQ(down.control.QueryServiceState(), 0);
    down.systemctl.absent = true;
    EXPECT_EQ(down.control.QueryServiceState(), 0);
}

TEST(ServiceControl, StartStopPauseAndContinueGoThroughSystemctl) {
    ServiceFixture f;
    f.systemctl.absent = true;  // failures are silent
    f.control.StartServiceByName();
    f.control.StopServiceByName();
    f.control.PauseServiceByName();
    f.control.ContinueServiceByName();
    EXPECT_THAT(f.systemctl.calls,
                ElementsAre("systemctl start vigiax.service", "systemctl stop vigiax.service",
                            "systemctl kill --kill-whom=main --signal=SIGUSR1 vigiax.service",
                            "systemctl kill --kill-whom=main --signal=SIGUSR2 vigiax.service"));
    EXPECT_THAT(f.log.entries, IsEmpty());
}

// systemd's own checker on the unit the program writes, with a real executable behind it.
TEST(ServiceControl, SystemdAcceptsTheUnitItWrites) {
    if (::access("/usr/bin/systemd-analyze", X_OK) != 0)
        GTEST_SKIP() << "systemd-analyze is not installed";
    ServiceFixture f;
    std::filesystem::create_directories(f.program.parent_path());
    WriteFile(f.program, "#!/bin/sh\n");
    std::filesystem::permissions(f.program, std::filesystem::perms::owner_all);
    ASSERT_TRUE(f.control.InstallService(false).succeeded);

    const std::string command = "/usr/bin/systemd-analyze verify '" + f.unit.string() + "' 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string said;
    char buf[256];
    while (std::fgets(buf, sizeof buf, pipe) != nullptr)
        said += buf;
    EXPECT_EQ(::pclose(pipe), 0) << said;
    EXPECT_EQ(said, "");
}

}  // namespace
}  // namespace vgx::test
