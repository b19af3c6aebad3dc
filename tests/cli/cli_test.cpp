// Every command of kavix-cli against the simulated unit, and every exit code.
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <thread>
#include <tuple>

#include "app/texts.h"
#include "cli/cli_context.h"
#include "cli_fixture.h"
#include "config/config_file.h"
#include "config/k_config_form.h"
#include "config/k_parameters.h"
#include "link/net_socket.h"
#include "protocol/protocol_csv.h"
#include "protocol/protocol_entries.h"
#include "protocol/run_counters.h"

namespace {

std::vector<unsigned char> configImage(char family, const std::vector<std::uint8_t>& block)
{
    const ConfigFileFormat& format = family == 'M' ? mSeriesConfigFile : kSeriesConfigFile;
    std::vector<unsigned char> image(configFileSize(format));
    buildConfigImage(format, block.data(), image.data());
    return image;
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

} // namespace

using CliTest = CliFixture;

TEST_F(CliTest, InfoNamesFamilyKindFirmwareAndProductOfBothFamilies)
{
    for (char family : {'K', 'M'}) {
        SimOptions options;
        serve(family, 20, [&](SimOptions& o) {
            o.product = "Polarund \xFC unit";   // ü in Windows-1252
            options = o;
        });
        const CliRun run = cli({"info", "--json"});
        ASSERT_EQ(run.code, exitOk) << run.err;
        const auto info = nlohmann::json::parse(run.out);
        EXPECT_EQ(info["family"], family == 'M' ? "M-Series" : "K-Series");
        EXPECT_EQ(info["unit_kind"], family == 'M' ? 2 : 1);
        EXPECT_EQ(info["product"], "Polarund \xC3\xBC unit");
        char firmware[8];
        std::snprintf(firmware, sizeof firmware, "%d.%02d", options.firmwareMajor, options.firmwareMinor);
        EXPECT_EQ(info["firmware"], firmware);
        EXPECT_TRUE(contains(cli({"info"}).out, family == 'M' ? "M-Series" : "K-Series"));
    }
}

TEST_F(CliTest, NoUnitWrongKindAndWrongFamilyHaveTheirExitCodes)
{
    // Nothing listens there.
    CliRun run = cli({"--unit", "127.0.0.1:1", "info"});
    EXPECT_EQ(run.code, exitNoUnit);
    EXPECT_TRUE(contains(run.err, "No Control Unit found"));

    serve('K', 20, [](SimOptions& o) { o.kind = 3; });
    run = cli({"info"});
    EXPECT_EQ(run.code, exitWrongUnit);
    EXPECT_TRUE(contains(run.err, "False ControlUnit")) << run.err;

    served.change([](SimUnit& u, SimBlockStore&) { u.options.kind = 1; });
    run = cli({"--family", "M", "counters"});
    EXPECT_EQ(run.code, exitWrongUnit);
    EXPECT_EQ(cli({"--family", "K", "counters"}).code, exitOk);
}

TEST_F(CliTest, UsageErrorsAreExitCodeTwo)
{
    EXPECT_EQ(cli({"frobnicate"}).code, exitUsage);
    EXPECT_EQ(cli({"config", "read"}).code, exitUsage);           // -o missing
    EXPECT_EQ(cli({"protocol"}).code, exitUsage);                 // neither -o nor --json
    EXPECT_EQ(cli({"--family", "X", "info"}).code, exitUsage);
    EXPECT_EQ(cli({"--unit", "unit-on-the-boat", "info"}).code, exitUsage);
    EXPECT_EQ(cli({"serve", "--address", "0.0.0.0"}).code, exitUsage);
    EXPECT_TRUE(contains(cli({"serve", "--address", "0.0.0.0"}).err, "ssh -L"));
    const CliRun help = cli({"--help"});
    EXPECT_EQ(help.code, exitOk);
    EXPECT_TRUE(contains(help.out, "Exit codes"));
}

TEST_F(CliTest, ConfigurationReadIsTheUnitsBlockInBothFamilies)
{
    for (char family : {'K', 'M'}) {
        serve(family);
        const std::string path = file(std::string("unit-") + family + ".cbf");
        const CliRun run = cli({"config", "read", "-o", path});
        ASSERT_EQ(run.code, exitOk) << run.err;
        EXPECT_TRUE(contains(run.err, "Device-Configuration read !"));
        EXPECT_EQ(readBytes(path), configImage(family, served.store.configuration.bytes));
    }
}

TEST_F(CliTest, ProgramChecksSendsAndReadsBack)
{
    serve();
    KParameterBlock changed = kSeriesDefaultParameters;
    changed.AccessCode = static_cast<std::uint8_t>(kSeriesDefaultParameters.AccessCode + 1);
    const std::string good = file("good.cbf");
    ASSERT_EQ(saveConfigFile(good, kSeriesConfigFile, &changed), 0);

    CliRun run = cli({"config", "program", good});
    ASSERT_EQ(run.code, exitOk) << run.err;
    EXPECT_TRUE(contains(run.err, "Make sure that display"));
    EXPECT_TRUE(contains(run.err, "New Configuration programmed !"));
    EXPECT_TRUE(contains(run.err, "Read back"));
    EXPECT_EQ(served.change([](SimUnit&, SimBlockStore& store) { return store.configuration.bytes; }),
              std::vector<std::uint8_t>(reinterpret_cast<const std::uint8_t*>(&changed),
                                        reinterpret_cast<const std::uint8_t*>(&changed) + sizeof changed));

    // A block the check refuses is neither sent nor anything else.
    KParameterBlock bad = kSeriesDefaultParameters;
    bad.LowVolt_115 = 50;   // below 90 V; a box value, which the form does not clamp
    const std::string refused = file("bad.cbf");
    ASSERT_EQ(saveConfigFile(refused, kSeriesConfigFile, &bad), 0);
    const std::uint32_t before = programmings();
    run = cli({"config", "program", refused});
    EXPECT_EQ(run.code, exitCheckFailed);
    EXPECT_TRUE(contains(run.err, "Failure 'Low voltage cut out 115V' !  Limits: 90 to 105\n")) << run.err;
    EXPECT_EQ(programmings(), before);
}

TEST_F(CliTest, ProgramRefusesFilesOfTheOtherFamilyAndBrokenFiles)
{
    serve();
    const std::string mSeriesFile = file("m.cbf");
    ASSERT_EQ(saveConfigFile(mSeriesFile, mSeriesConfigFile, factoryConfiguration('M').data()), 0);
    CliRun run = cli({"config", "program", mSeriesFile});
    EXPECT_EQ(run.code, exitWrongUnit);
    EXPECT_TRUE(contains(run.err, "Config.-File not for this ControlUnit !"));

    std::vector<unsigned char> broken = configImage('K', factoryConfiguration('K'));
    broken[30] ^= 0x01;
    writeBytes(dir / "broken.cbf", broken);
    run = cli({"config", "program", file("broken.cbf")});
    EXPECT_EQ(run.code, exitFileError);
    EXPECT_TRUE(contains(run.err, "CRC"));
    EXPECT_EQ(cli({"config", "program", file("missing.cbf")}).code, exitFileError);
    EXPECT_EQ(programmings(), 0u);
}

TEST_F(CliTest, AUnitThatDoesNotTakeTheConfigurationIsExitCodeNine)
{
    serve();
    const std::string defaults = file("defaults.cbf");
    ASSERT_EQ(cli({"config", "defaults", "-o", defaults}).code, exitOk);
    for (const SimFaults faults : {SimFaults{.eepromFails = true}, SimFaults{.announceAnswer = 0x52},
                                   SimFaults{.announceAnswer = 0x53}}) {
        served.setFaults(faults);
        const CliRun run = cli({"config", "program", defaults});
        EXPECT_EQ(run.code, exitUnitRefused) << run.err;
    }
}

TEST_F(CliTest, AConfigurationTheUnitDidNotKeepIsExitCodeTen)
{
    serve();
    KParameterBlock changed = kSeriesDefaultParameters;
    changed.CanAddress = 9;
    ASSERT_EQ(saveConfigFile(file("changed.cbf"), kSeriesConfigFile, &changed), 0);
    served.setFaults({.eepromForgets = true});
    const CliRun run = cli({"config", "program", file("changed.cbf")});
    EXPECT_EQ(run.code, exitVerifyFailed);
    EXPECT_TRUE(contains(run.err, "General / CAN Address: 9 -> 1\n")) << run.err;
    EXPECT_EQ(cli({"config", "program", "--no-verify", file("changed.cbf")}).code, exitOk);
}

TEST_F(CliTest, ServeOnATakenPortIsExitCodeOne)
{
    const NetSocket taken = netListen("127.0.0.1", 0);
    const CliRun run = cli({"serve", "--port", std::to_string(netLocalPort(taken))});
    netClose(taken);
    EXPECT_EQ(run.code, exitFailure);
    EXPECT_TRUE(contains(run.err, "in use")) << run.err;
}

TEST_F(CliTest, DefaultsNeedNoUnitWhenTheFamilyIsNamed)
{
    const std::string path = file("defaults-m.cbf");
    const CliRun run = cli({"--family", "M", "config", "defaults", "-o", path});
    ASSERT_EQ(run.code, exitOk) << run.err;
    std::vector<unsigned char> block(configImageCapacity);
    EXPECT_EQ(loadConfigFile(path, mSeriesConfigFile, block.data()), 0);

    // Without a family, the unit says which.
    EXPECT_EQ(cli({"--unit", "127.0.0.1:1", "config", "defaults", "-o", path}).code, exitNoUnit);
}

TEST_F(CliTest, ShowAndDiffListParametersAndRefuseMixedFamilies)
{
    const std::string a = file("a.cbf");
    const std::string b = file("b.cbf");
    const std::string m = file("m.cbf");
    KParameterBlock changed = kSeriesDefaultParameters;
    changed.CanAddress = static_cast<std::uint8_t>(kSeriesDefaultParameters.CanAddress + 2);
    ASSERT_EQ(saveConfigFile(a, kSeriesConfigFile, &kSeriesDefaultParameters), 0);
    ASSERT_EQ(saveConfigFile(b, kSeriesConfigFile, &changed), 0);
    ASSERT_EQ(saveConfigFile(m, mSeriesConfigFile, factoryConfiguration('M').data()), 0);

    CliRun run = cli({"config", "show", a, "--json"});
    ASSERT_EQ(run.code, exitOk) << run.err;
    const auto shown = nlohmann::json::parse(run.out);
    EXPECT_EQ(shown["family"], "K-Series");
    EXPECT_GT(shown["parameters"].size(), 20u);
    // An M-Series file is recognised by itself.
    EXPECT_EQ(nlohmann::json::parse(cli({"config", "show", m, "--json"}).out)["family"], "M-Series");

    run = cli({"config", "diff", a, b, "--json"});
    ASSERT_EQ(run.code, exitOk) << run.err;
    const auto differences = nlohmann::json::parse(run.out)["differences"];
    ASSERT_EQ(differences.size(), 1u);
    EXPECT_EQ(differences[0]["label"], "CAN Address");
    EXPECT_EQ(differences[0]["a"], kSeriesDefaultParameters.CanAddress);
    EXPECT_EQ(differences[0]["b"], changed.CanAddress);
    EXPECT_TRUE(cli({"config", "diff", a, a}).out.empty());

    run = cli({"config", "diff", a, m});
    EXPECT_EQ(run.code, exitWrongUnit);
    EXPECT_EQ(cli({"--family", "K", "config", "show", m}).code, exitWrongUnit);
}

TEST_F(CliTest, CountersShowTheUnitsRecord)
{
    serve('M');
    CliRun run = cli({"counters", "--json"});
    ASSERT_EQ(run.code, exitOk) << run.err;
    const auto counters = nlohmann::json::parse(run.out)["counters"];
    EXPECT_EQ(counters.size(), static_cast<std::size_t>(counterFieldCountM));
    // The on-time, the record's first field, in seconds as the record holds it.
    const std::vector<std::uint8_t> record = runningCounters('M');
    const std::uint32_t onTime = record[0] | record[1] << 8 | record[2] << 16 | static_cast<std::uint32_t>(record[3]) << 24;
    bool found = false;
    for (const auto& c : counters)
        if (c["unit"] == "s" && c["value"] == onTime)
            found = true;
    EXPECT_TRUE(found) << run.out;
    EXPECT_TRUE(contains(cli({"counters"}).out, "M-Series"));
}

TEST_F(CliTest, ProtocolFileIsTheUnitsProtocolInTheChosenLanguage)
{
    for (char family : {'K', 'M'}) {
        serve(family, 1000);
        const std::vector<std::uint8_t> entries = failureProtocol(family, 1000);
        const ProtocolData protocol = {entries.data(), entries.size(), 1000};
        const std::string expected = file("expected.csv");
        const std::string path = file("protocol.csv");
        for (const char* language : {"en", "de"}) {
            ASSERT_TRUE(writeProtocolCsv(family == 'M' ? Family::m : Family::k, expected, protocol,
                                         textsForLanguage(language[0] == 'd' ? 0 : 1)));
            const CliRun run = cli({"--lang", language, "protocol", "-o", path});
            ASSERT_EQ(run.code, exitOk) << run.err;
            EXPECT_EQ(readBytes(path), readBytes(expected)) << family << ' ' << language;
        }
    }
    const CliRun json = cli({"protocol", "--json"});
    EXPECT_EQ(nlohmann::json::parse(json.out)["entries"].size(), 1000u);
}

TEST_F(CliTest, AnEmptyProtocolWritesNoFile)
{
    serve('K', 0);
    const CliRun run = cli({"protocol", "-o", file("none.csv")});
    EXPECT_EQ(run.code, exitOk);
    EXPECT_TRUE(contains(run.err, "There are no protocol-items to read !"));
    EXPECT_FALSE(std::filesystem::exists(dir / "none.csv"));
}

TEST_F(CliTest, SimulatorFaultsEndWithTheirExitCodes)
{
    serve('K', 400);
    served.setFaults({.refuseBlocks = true});
    EXPECT_EQ(cli({"protocol", "-o", file("p.csv")}).code, exitWrongUnit);

    // Silent part-way: the stall time, not a hang.
    served.setFaults({.silent = true, .silentAfter = 20});
    CliRun run = cli({"protocol", "-o", file("p.csv")});
    EXPECT_EQ(run.code, exitCommunicationLost);
    EXPECT_TRUE(contains(run.err, "Communication lost !"));

    // Unplugged part-way.
    served.setFaults({.disconnectAfter = 20});
    run = cli({"protocol", "-o", file("p.csv")});
    EXPECT_EQ(run.code, exitDeviceGone);
    EXPECT_TRUE(contains(run.err, "USB-Error !"));
    EXPECT_FALSE(std::filesystem::exists(dir / "p.csv"));

    // A block with a bad CRC is taken as the program takes it: its data is
    // whole, so the file is too.
    served.setFaults({.badCrcBlock = 3});
    run = cli({"protocol", "-o", file("p.csv")});
    EXPECT_EQ(run.code, exitOk) << run.err;
    served.setFaults({});
    ASSERT_EQ(cli({"protocol", "-o", file("clean.csv")}).code, exitOk);
    EXPECT_EQ(readBytes(dir / "p.csv"), readBytes(dir / "clean.csv"));
}

TEST_F(CliTest, MonitorLogsEveryAnswerAndKeepsThemWhenTheUnitFallsSilent)
{
    serve();
    const std::string log = file("live.csv");
    const std::string chart = file("live.svg");
    CliRun run = cli({"monitor", "--interval", "0", "--seconds", "0.4", "--log", log, "--chart", chart});
    ASSERT_EQ(run.code, exitOk) << run.err;
    const std::vector<unsigned char> logged = readBytes(log);
    const auto lines = std::count(logged.begin(), logged.end(), '\n');
    EXPECT_GE(lines, 3);
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), lines);
    EXPECT_TRUE(std::filesystem::exists(chart));

    served.setFaults({.silent = true, .silentAfter = 8});
    run = cli({"monitor", "--interval", "0", "--log", log, "--chart", chart});
    EXPECT_EQ(run.code, exitCommunicationLost);
    // The fault counts per connection: the header and the eight answers.
    const std::vector<unsigned char> kept = readBytes(log);
    EXPECT_EQ(std::count(kept.begin(), kept.end(), '\n'), 1 + 8);
    EXPECT_TRUE(std::filesystem::exists(chart));
}

TEST_F(CliTest, MonitorPacesItsPollsToTheInterval)
{
    serve();
    const std::uint32_t before = served.requestsSeen();
    const CliRun run = cli({"monitor", "--interval", "0.1", "--seconds", "0.55"});
    ASSERT_EQ(run.code, exitOk) << run.err;
    const auto lines = std::count(run.out.begin(), run.out.end(), '\n') - 1;
    EXPECT_GE(lines, 4);
    EXPECT_LE(lines, 7);
    // Held answers pace the unit's polls too: about two per logged line.
    EXPECT_LT(served.requestsSeen() - before, 30u);
}

TEST_F(CliTest, CtrlCEndsAMonitorSessionWithItsFilesAndBreaksOffATransfer)
{
    serve('K', 5000);
    std::atomic<bool> interrupted{false};
    std::thread ctrlC([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        interrupted = true;
    });
    CliRun run = cli({"monitor", "--interval", "0.05", "--log", file("live.csv"), "--chart", file("live.svg")},
                     &interrupted);
    ctrlC.join();
    EXPECT_EQ(run.code, exitOk) << run.err;
    EXPECT_GE(std::count(run.out.begin(), run.out.end(), '\n'), 3);
    EXPECT_TRUE(std::filesystem::exists(dir / "live.svg"));

    // During a read, Ctrl-C is a failure: nothing is written.
    served.setFaults({.delayMs = 5});
    interrupted = false;
    ctrlC = std::thread([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        interrupted = true;
    });
    run = cli({"protocol", "-o", file("p.csv")}, &interrupted);
    ctrlC.join();
    EXPECT_EQ(run.code, exitInterrupted);
    EXPECT_FALSE(std::filesystem::exists(dir / "p.csv"));
}

namespace {

// The parameter of a config show --json document with this label (null if none).
nlohmann::json labelled(const nlohmann::json& document, const std::string& label)
{
    for (const auto& p : document["parameters"])
        if (p["label"] == label)
            return p;
    return nlohmann::json();
}

std::vector<std::uint8_t> blockBytes(const KParameterBlock& block)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&block);
    return {bytes, bytes + sizeof block};
}

} // namespace

// A file value the window cannot show is never changed on the way: show
// marks it with its limits, program refuses the file and sends nothing, diff
// tells it from the value the window would have made of it. A file whose
// other temperature copy the window would derive anew is refused too.
TEST_F(CliTest, FileValuesTheWindowCannotShowAreNeverChangedQuietly)
{
    serve();
    KParameterBlock hot = kSeriesDefaultParameters, limit = kSeriesDefaultParameters, stale = kSeriesDefaultParameters;
    hot.SetTemp_C = 90;   // limits 15 to 29; the window's arrows would make it 29
    limit.SetTemp_C = 29;
    stale.SetTemp_F = 99; // 20 °C is 68 °F
    ASSERT_EQ(saveConfigFile(file("hot.cbf"), kSeriesConfigFile, &hot), 0);
    ASSERT_EQ(saveConfigFile(file("limit.cbf"), kSeriesConfigFile, &limit), 0);
    ASSERT_EQ(saveConfigFile(file("stale.cbf"), kSeriesConfigFile, &stale), 0);

    CliRun run = cli({"config", "show", file("hot.cbf")});
    ASSERT_EQ(run.code, exitOk) << run.err;
    EXPECT_TRUE(contains(run.out, "90      \xC2\xB0" "C")) << run.out;
    EXPECT_TRUE(contains(run.out, "! outside 15 to 29\n")) << run.out;
    const auto p = labelled(nlohmann::json::parse(cli({"config", "show", file("hot.cbf"), "--json"}).out),
                            "Set temperature");
    EXPECT_EQ(std::tuple(p["value"], p["valid"], p["unit"]), std::tuple(90, false, "\xC2\xB0" "C"));

    for (const char* name : {"hot.cbf", "stale.cbf"}) {
        run = cli({"config", "program", file(name)});
        EXPECT_EQ(run.code, exitCheckFailed) << name;
        EXPECT_TRUE(contains(run.err, "Nothing was sent.")) << run.err;
    }
    EXPECT_TRUE(contains(cli({"config", "program", file("hot.cbf")}).err,
                         "  Set temperature: 90 \xC2\xB0" "C, outside 15 to 29\n"));
    EXPECT_TRUE(contains(cli({"config", "program", file("stale.cbf")}).err,
                         "  General / Set temperature: 20 \xC2\xB0" "C (99 \xC2\xB0" "F) -> 20 \xC2\xB0" "C (68 \xC2\xB0" "F)\n"));
    EXPECT_EQ(programmings(), 0u);

    run = cli({"config", "diff", file("hot.cbf"), file("limit.cbf")});
    EXPECT_EQ(run.out, "General / Set temperature: 90 \xC2\xB0" "C -> 29 \xC2\xB0" "C\n");
}

// A unit whose configuration could not be programmed back as it is (a
// value the window cannot show, a failed check, a copy the window would
// derive anew) is still saved, byte for byte: the file is its backup. Why it
// is not valid goes to stderr, and the exit code says "saved, but not valid".
TEST_F(CliTest, ConfigReadSavesAnyConfigurationAndSaysWhenItIsNotValid)
{
    const struct {
        const char* name;
        void (*change)(KParameterBlock&);
        const char* reason;
    } cases[] = {
        {"unshowable", [](KParameterBlock& b) { b.SetTemp_C = 90; }, "  Set temperature: 90 \xC2\xB0" "C, outside 15 to 29\n"},
        {"check", [](KParameterBlock& b) { b.LowVolt_230 = 20; }, "cut out 230V' !  Limits: 180 to 210\n"},
        {"derived copy", [](KParameterBlock& b) { b.HeatOn_F = 100; }, "(100 \xC2\xB0" "F) -> 48 \xC2\xB0" "C (118 \xC2\xB0" "F)\n"},
    };
    serve('K', 20);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        KParameterBlock odd = kSeriesDefaultParameters;
        c.change(odd);
        served.change([&](SimUnit&, SimBlockStore& store) { store.configuration.bytes = blockBytes(odd); });
        const CliRun run = cli({"config", "read", "-o", file("backup.cbf")});
        EXPECT_EQ(run.code, exitSavedNotValid);
        EXPECT_EQ(readBytes(dir / "backup.cbf"), configImage('K', blockBytes(odd)));
        EXPECT_TRUE(contains(run.err, "Wrote 88 bytes (K-Series configuration) to " + file("backup.cbf")));
        EXPECT_TRUE(contains(run.err, c.reason)) << run.err;
    }
    served.change([&](SimUnit&, SimBlockStore& store) { store.configuration.bytes = blockBytes(kSeriesDefaultParameters); });
    EXPECT_EQ(cli({"config", "read", "-o", file("backup.cbf")}).code, exitOk);
}

// The read-back compares every byte and names every difference, also one
// in bits the window passes through without showing.
TEST_F(CliTest, ReadBackNamesADifferenceInBytesTheWindowDoesNotShow)
{
    serve();
    KParameterBlock flagged = kSeriesDefaultParameters;
    flagged.Flags_Device |= 0x8000;
    ASSERT_EQ(saveConfigFile(file("flagged.cbf"), kSeriesConfigFile, &flagged), 0);
    served.setFaults({.eepromForgets = true});
    const CliRun run = cli({"config", "program", file("flagged.cbf")});
    EXPECT_EQ(run.code, exitVerifyFailed);
    EXPECT_TRUE(contains(run.err, "byte 1: 0x80 -> 0x00\n")) << run.err;
}

// A unit that asks for the data again from block 0 after every last block
// acknowledges blocks for ever; without new blocks for --timeout seconds
// that is a lost link, not a hang.
TEST_F(CliTest, AResendLoopEndsAsCommunicationLost)
{
    serve();
    ASSERT_EQ(cli({"config", "defaults", "-o", file("defaults.cbf")}).code, exitOk);
    served.setFaults({.resendFrom = 0, .resendAlways = true});
    // Should it hang, Ctrl-C after 20 s turns that into a failure.
    std::atomic<bool> stop{false};
    std::thread watchdog([&] {
        for (int waited = 0; waited < 20000 && !stop; waited += 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        stop = true;
    });
    const CliRun run = cli({"config", "program", file("defaults.cbf")}, &stop);
    stop = true;
    watchdog.join();
    EXPECT_EQ(run.code, exitCommunicationLost) << run.err;
    EXPECT_TRUE(contains(run.err, "Communication lost !"));
}

// The product string is the unit's: control characters in it are shown
// escaped on a terminal, so it cannot fake lines or drive the terminal. JSON
// carries the text itself, escaped as JSON escapes it.
TEST_F(CliTest, ControlCharactersOfTheUnitsProductStringAreEscaped)
{
    serve('K', 20, [](SimOptions& o) { o.product = "Unit\r\nFamily:      M-Series\x1B[2J\x07"; });
    for (const std::vector<std::string>& command : {std::vector<std::string>{"info"}, {"counters"}}) {
        const CliRun run = cli(command);
        ASSERT_EQ(run.code, exitOk) << run.err;
        EXPECT_TRUE(contains(run.out, "Unit\\x0D\\x0AFamily:      M-Series\\x1B[2J\\x07")) << run.out;
        EXPECT_FALSE(contains(run.out, "\x1B") || contains(run.out, "\r") || contains(run.out, "\x07"));
    }
    const CliRun json = cli({"info", "--json"});
    EXPECT_EQ(nlohmann::json::parse(json.out)["product"], "Unit\r\nFamily:      M-Series\x1B[2J\x07");
    EXPECT_FALSE(contains(json.out, "\x1B"));
}

TEST_F(CliTest, NonFiniteNumbersAreRefusedAsUsageErrors)
{
    for (const std::vector<std::string>& line :
         {std::vector<std::string>{"--timeout", "nan", "info"}, {"--timeout", "inf", "info"},
          {"monitor", "--seconds", "nan"}, {"monitor", "--seconds", "inf"}, {"monitor", "--interval", "nan"},
          {"serve", "--idle", "nan"}})
        EXPECT_EQ(cli(line).code, exitUsage) << line[0] << ' ' << line[1];
}

// Machines get numbers as numbers under stable lower-case keys: times in
// seconds, temperatures with their unit beside them.
TEST_F(CliTest, JsonKeysAreStableAndNumbersAreNumbers)
{
    serve('M', 3);
    const auto protocol = nlohmann::json::parse(cli({"protocol", "--json"}).out);
    ASSERT_EQ(protocol["entries"].size(), 3u);
    const std::vector<std::uint8_t> entries = failureProtocol('M', 3);
    ProtocolEntryM first{};
    ASSERT_TRUE(readProtocolEntryM(entries.data(), entries.size(), 0, first));
    const auto& entry = protocol["entries"][0];
    EXPECT_EQ(entry["event_counter"], first.eventCounter);
    EXPECT_EQ(entry["on_time_s"], first.onTime);
    EXPECT_EQ(entry["run_times_s"][5], first.runTimes[5]);
    EXPECT_EQ(entry["error_code"], first.errorCode);
    for (const auto& [key, value] : entry.items())
        EXPECT_TRUE(std::all_of(key.begin(), key.end(), [](char c) { return std::islower(c) || c == '_'; })) << key;

    const auto info = nlohmann::json::parse(cli({"info", "--json"}).out);
    EXPECT_TRUE(info["unit_kind"].is_number() && info["firmware_word"].is_number());
    ASSERT_EQ(cli({"config", "read", "-o", file("m.cbf")}).code, exitOk);
    const auto p = labelled(nlohmann::json::parse(cli({"config", "show", file("m.cbf"), "--json"}).out),
                            "Switch off temperature cooling water");
    EXPECT_EQ(std::tuple(p["value"], p["unit"], p["limits"]), std::tuple(4, "\xC2\xB0" "C", "0 to 15"));
}

// Every command that writes says what it wrote; a unit not found is named
// by the address tried.
TEST_F(CliTest, CommandsSayWhatTheyWroteAndWhereTheyLookedForTheUnit)
{
    serve('K', 7);
    EXPECT_TRUE(contains(cli({"protocol", "-o", file("p.csv")}).err, "Wrote 7 entries to " + file("p.csv") + ".\n"));
    EXPECT_TRUE(contains(cli({"config", "defaults", "-o", file("d.cbf")}).err,
                         "Wrote 88 bytes (K-Series configuration) to " + file("d.cbf") + ".\n"));
    EXPECT_TRUE(contains(cli({"config", "program", file("d.cbf")}).err,
                         "Programmed the 62 bytes of " + file("d.cbf") + " into the unit.\n"));
    const CliRun monitor = cli({"monitor", "--interval", "0", "--seconds", "0.2", "--log", file("m.csv")});
    EXPECT_TRUE(contains(monitor.err, "answers logged, also to " + file("m.csv") + ".\n")) << monitor.err;
    EXPECT_TRUE(contains(cli({"--unit", "127.0.0.1:1", "info"}).err, "No Control Unit found (tried TCP 127.0.0.1:1)"));
}
