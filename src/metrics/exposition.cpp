#include "metrics/exposition.h"

#include <charconv>
#include <cmath>
#include <initializer_list>
#include <utility>
#include <vector>

namespace vgx {
namespace {

struct Sample {
    std::string labels;  // "{a=\"x\"}" or empty
    std::string value;
};

std::string Labels(std::initializer_list<std::pair<std::string_view, std::string_view>> labels) {
    std::string out = "{";
    for (const auto& [name, value] : labels) {
        if (out.size() > 1)
            out += ',';
        out.append(name).append("=\"").append(EscapeLabelValue(value)).append("\"");
    }
    return out + "}";
}

std::string Value(std::uint64_t v) {
    return std::to_string(v);
}
std::string Value(double v) {
    return FormatSampleValue(v);
}
std::string Value(bool v) {
    return v ? "1" : "0";
}

std::string EscapeHelp(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

class Exposition {
public:
    void Family(std::string_view name, std::string_view type, std::string_view help,
                const std::vector<Sample>& samples) {
        if (samples.empty())
            return;
        out_.append("# HELP ").append(name).append(" ").append(EscapeHelp(help)).append("\n");
        out_.append("# TYPE ").append(name).append(" ").append(type).append("\n");
        for (const Sample& s : samples)
            out_.append(name).append(s.labels).append(" ").append(s.value).append("\n");
    }
    template <typename T>
    void Gauge(std::string_view name, std::string_view help, T value) {
        Family(name, "gauge", help, {{"", Value(value)}});
    }
    void Counter(std::string_view name, std::string_view help, std::uint64_t value) {
        Family(name, "counter", help, {{"", Value(value)}});
    }
    std::string Take() { return std::move(out_); }

private:
    std::string out_;
};

// One sample a check, for the checks where `field` has a value.
template <typename F>
std::vector<Sample> PerCheck(const WatchdogMetrics& m, F field) {
    std::vector<Sample> samples;
    for (const auto& [name, check] :
         {std::pair<std::string_view, const CheckMetrics*>{"internet", &m.Internet},
          {"web", &m.Web}}) {
        if (const auto v = field(*check))
            samples.push_back({Labels({{"check", name}}), Value(*v)});
    }
    return samples;
}

}  // namespace

std::string EscapeLabelValue(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (const char c : value) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '"')
            out += "\\\"";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

std::string FormatSampleValue(double value) {
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value > 0 ? "+Inf" : "-Inf";
    char buf[32];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    return ec == std::errc() ? std::string(buf, end) : "NaN";
}

std::string RenderMetrics(const WatchdogMetrics& m) {
    Exposition e;
    e.Family("vigiax_build_info", "gauge", "Versão do Vigiax que grava este arquivo.",
             {{Labels({{"version", m.Version}}), "1"}});
    e.Gauge("vigiax_start_time_seconds", "Início desta cópia do Vigiax, em segundos Unix.",
            m.StartTimeSeconds);
    if (m.LastCycleTimeSeconds)
        e.Gauge("vigiax_last_cycle_timestamp_seconds",
                "Início do último ciclo de pooling, em segundos Unix.", *m.LastCycleTimeSeconds);
    e.Gauge("vigiax_pooling_interval_seconds", "Intervalo entre ciclos de pooling, em segundos.",
            m.PoolingIntervalSeconds);

    e.Gauge("vigiax_failures", "Falhas de pooling contadas agora.", m.Failures);
    e.Gauge("vigiax_failure_limit", "Falhas de pooling que disparam a ação.", m.FailureLimit);
    e.Counter("vigiax_cycles_total", "Ciclos de pooling executados.", m.Cycles);
    e.Counter("vigiax_failed_cycles_total", "Ciclos de pooling com falha.", m.FailedCycles);

    e.Family("vigiax_check_enabled", "gauge", "1 quando o teste está ativado.",
             PerCheck(m, [](const CheckMetrics& c) { return std::optional<bool>(c.Enabled); }));
    e.Family("vigiax_check_up", "gauge", "1 quando o teste passou no último ciclo que o executou.",
             PerCheck(m, [](const CheckMetrics& c) { return c.Enabled ? c.Up : std::nullopt; }));
    e.Family("vigiax_check_duration_seconds", "gauge",
             "Duração do teste no último ciclo que o executou, em segundos.",
             PerCheck(m, [](const CheckMetrics& c) {
                 return c.Enabled ? c.DurationSeconds : std::nullopt;
             }));

    e.Gauge("vigiax_paused", "1 quando o serviço está em pausa.", m.Paused);

    e.Counter("vigiax_web_server_restarts_total", "Reinícios do servidor web executados.",
              m.WebServerRestarts);
    e.Counter("vigiax_computer_restarts_total", "Reinícios do computador pedidos ao sistema.",
              m.ComputerRestarts);
    e.Counter("vigiax_restart_warnings_total", "Avisos de reinício do computador mostrados.",
              m.RestartWarnings);
    e.Counter("vigiax_restart_warnings_cancelled_total",
              "Avisos de reinício do computador cancelados pelo usuário.",
              m.RestartWarningsCancelled);
    e.Gauge("vigiax_restart_warning_active", "1 enquanto um aviso de reinício está em contagem.",
            m.RestartWarningSecondsLeft.has_value());
    e.Gauge("vigiax_restart_warning_remaining_seconds",
            "Segundos até o reinício do computador; 0 sem aviso em contagem.",
            m.RestartWarningSecondsLeft.value_or(0.0));

    e.Gauge("vigiax_threshold_events_today", "Eventos de limite contados hoje.",
            std::uint64_t{m.ThresholdEventsToday});
    e.Gauge("vigiax_threshold_events_daily_limit",
            "Eventos de limite permitidos por dia; além dele nenhuma ação é tomada.",
            std::uint64_t{m.ThresholdEventsDailyLimit});

    e.Family("vigiax_cleaning_runs_total", "counter",
             "Execuções de limpeza de pasta, pelo resultado: limpa, recusada (pasta protegida) "
             "ou pasta inexistente.",
             {{Labels({{"outcome", "cleaned"}}), Value(m.Cleaning.Cleaned)},
              {Labels({{"outcome", "refused"}}), Value(m.Cleaning.Refused)},
              {Labels({{"outcome", "missing"}}), Value(m.Cleaning.Missing)}});
    e.Counter("vigiax_cleaning_removed_entries_total",
              "Arquivos e pastas removidos pelas limpezas.", m.Cleaning.RemovedEntries);
    return e.Take();
}

}  // namespace vgx
