#include "cli/cli_app.h"

#include <CLI/CLI.hpp>

#include <cmath>
#include <cstdlib>
#include <string>

#include "app/texts.h"
#include "cli/cli_commands.h"
#include "kavix_version.h"
#include "link/net_socket.h"

namespace {

const char* const exitCodeHelp =
    "Exit codes: 0 success, 1 other failure, 2 bad command line, 3 no unit, 4 wrong unit (family, kind,\n"
    "firmware, or a file for the other family), 5 the file fails the check or holds a value the\n"
    "configuration window cannot show (nothing sent or written), 6 communication lost (no progress for\n"
    "--timeout seconds), 7 device gone (USB error), 8 file error, 9 unit refused the configuration,\n"
    "10 read-back differs after programming, 11 config read saved the unit's configuration, but it is\n"
    "not valid, 130 interrupted (Ctrl-C, SIGTERM).";

// CLI11's ranges let NaN through (every comparison with it is false), and
// a monitor of infinite seconds never ends: only finite numbers are taken.
const CLI::Validator finiteNumber(
    [](std::string& input) -> std::string {
        char* end = nullptr;
        const double value = std::strtod(input.c_str(), &end);
        if (end != input.c_str() && !std::isfinite(value))
            return "not a finite number: " + input;
        return std::string();
    },
    "", "FINITE");

struct Choices {
    std::string unit;
    std::string family;
    std::string language = "en";
    double timeoutSeconds = 5;
    bool json = false;
    std::string output;
    std::string input;
    std::string secondInput;
    bool noVerify = false;
    MonitorOptions monitor;
    ServeOptions serve;
};

void addJson(CLI::App* command, Choices& choices)
{
    command->add_flag("--json", choices.json, "Print the result as JSON");
}

} // namespace

int runCli(int argc, const char* const* argv, const CliStreams& streams)
{
    CLI::App app{"kavix-cli " KAVIX_VERSION
                 ": the Quarnel Polarund control unit from a terminal (K-Series units, M-Series chillers).",
                 "kavix-cli"};
    app.footer(exitCodeHelp);
    app.require_subcommand(1);
    app.set_version_flag("--version", "kavix-cli " KAVIX_VERSION);
    Choices choices;
    app.add_option("--unit", choices.unit,
                   "The unit on the TCP wire (the simulator, or kavix-cli serve through a tunnel); "
                   "default KAVIX_UNIT, else USB")
        ->type_name("HOST:PORT");
    app.add_option("--family", choices.family, "The family the unit or file must be (default: as it says)")
        ->check(CLI::IsMember({"K", "M"}, CLI::ignore_case))
        ->type_name("K|M");
    app.add_option("--lang", choices.language, "Language of messages and files")
        ->check(CLI::IsMember({"en", "de"}))
        ->type_name("en|de");
    app.add_option("--timeout", choices.timeoutSeconds,
                   "Seconds a unit may stay silent before the transfer counts as lost (default 5)")
        ->check(finiteNumber)
        ->check(CLI::Range(0.1, 3600.0))
        ->type_name("SECONDS");

    CLI::App* info = app.add_subcommand("info", "Family, unit kind, firmware and product string of the unit");
    addJson(info, choices);

    CLI::App* config = app.add_subcommand("config", "The unit's configuration and .cbf files");
    config->require_subcommand(1);
    CLI::App* read = config->add_subcommand("read", "Read the configuration into a file");
    read->add_option("-o,--output", choices.output, "The .cbf file to write")->required()->type_name("FILE.cbf");
    CLI::App* program = config->add_subcommand(
        "program", "Check a file and program the unit with it, then read it back and compare");
    program->add_option("file", choices.input, "The .cbf file")->required();
    program->add_flag("--no-verify", choices.noVerify, "Do not read the configuration back");
    CLI::App* defaults = config->add_subcommand("defaults", "Write the factory defaults into a file");
    defaults->add_option("-o,--output", choices.output, "The .cbf file to write")->required()->type_name("FILE.cbf");
    CLI::App* show = config->add_subcommand("show", "Every parameter of a file with its default");
    show->add_option("file", choices.input, "The .cbf file")->required();
    addJson(show, choices);
    CLI::App* diff = config->add_subcommand("diff", "The parameters in which two files differ");
    diff->add_option("a", choices.input, "The first .cbf file")->required();
    diff->add_option("b", choices.secondInput, "The second .cbf file")->required();
    addJson(diff, choices);

    CLI::App* counters = app.add_subcommand("counters", "The running counters");
    addJson(counters, choices);

    CLI::App* protocol = app.add_subcommand("protocol", "Read the failure protocol");
    protocol->add_option("-o,--output", choices.output, "The .csv file to write, as kavix.exe saves it")
        ->type_name("FILE.csv");
    addJson(protocol, choices);

    CLI::App* monitor = app.add_subcommand(
        "monitor", "Log the live state with timestamps until --seconds or Ctrl-C (read-only)");
    monitor->add_option("--log", choices.monitor.log, "Also write the lines into this .csv file")
        ->type_name("FILE.csv");
    monitor->add_option("--chart", choices.monitor.chart, "At the end, plot the session into this .svg file")
        ->type_name("FILE.svg");
    monitor->add_option("--seconds", choices.monitor.seconds, "How long to watch (default: until Ctrl-C)")
        ->check(finiteNumber)
        ->check(CLI::PositiveNumber)
        ->type_name("SECONDS");
    monitor->add_option("--interval", choices.monitor.interval,
                        "Seconds between logged answers (default 1; 0: every answer, as fast as the link goes)")
        ->check(finiteNumber)
        ->check(CLI::Range(0.0, 3600.0))
        ->type_name("SECONDS");

    CLI::App* serve = app.add_subcommand(
        "serve", "Share the unit attached here over the TCP wire, one client at a time, on 127.0.0.1 only");
    serve->add_option("--port", choices.serve.port, "Port to listen on")->check(CLI::Range(0, 65535))
        ->type_name("N");
    serve->add_option("--address", choices.serve.address, "Only 127.0.0.1; use an SSH tunnel for others");
    serve->add_option("--idle", choices.serve.idleSeconds,
                      "A client that sends nothing for this long is dropped, so it cannot hold the one "
                      "place (default 60)")
        ->check(finiteNumber)
        ->check(CLI::Range(0.1, 86400.0))
        ->type_name("SECONDS");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error, streams.out, streams.err);
        return code == 0 ? exitOk : exitUsage;
    }
    if (protocol->parsed() && choices.output.empty() && !choices.json) {
        streams.err << "protocol: give -o FILE.csv, --json, or both.\n";
        return exitUsage;
    }

    selectLanguageTexts(choices.language == "de" ? 0 : 1);
    CliContext context{streams.out, streams.err};
    context.endpoint = choices.unit;
    if (context.endpoint.empty() && streams.environmentUnit)
        context.endpoint = streams.environmentUnit;
    char host[256];
    std::uint16_t port = 0;
    if (!context.endpoint.empty() && !netSplitEndpoint(context.endpoint.c_str(), host, sizeof host, port)) {
        streams.err << "The unit's address must be HOST:PORT (port 1 to 65535), not \"" << context.endpoint << "\".\n";
        return exitUsage;
    }
    if (!choices.family.empty())
        context.family = (choices.family == "M" || choices.family == "m") ? Family::m : Family::k;
    context.json = choices.json;
    context.progress = streams.errIsTerminal;
    context.stallMs = static_cast<int>(choices.timeoutSeconds * 1000);
    context.interrupted = streams.interrupted;

    if (info->parsed())
        return commandInfo(context);
    if (read->parsed())
        return commandConfigRead(context, choices.output);
    if (program->parsed())
        return commandConfigProgram(context, choices.input, !choices.noVerify);
    if (defaults->parsed())
        return commandConfigDefaults(context, choices.output);
    if (show->parsed())
        return commandConfigShow(context, choices.input);
    if (diff->parsed())
        return commandConfigDiff(context, choices.input, choices.secondInput);
    if (counters->parsed())
        return commandCounters(context);
    if (protocol->parsed())
        return commandProtocol(context, choices.output);
    if (monitor->parsed())
        return commandMonitor(context, choices.monitor);
    if (serve->parsed())
        return commandServe(context, choices.serve);
    return exitUsage;
}
