// kavix-cli's reads through the virtual USB unit (HID backend) and over the
// TCP wire, same simulator with USB frames, same run: configuration,
// counters and a 1,000-entry protocol, each as a ratio to the USB bound.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "cli_bench_rig.h"
#include "link/device_discovery.h"
#include "link/link_state.h"
#include "link/win/hid_backend.h"
#include "link/device_backend.h"
#include "vusb_install.h"

namespace {

struct Command {
    const char* name;
    std::vector<std::string> words;
    int runs;
};

// Median time of the runs and the exchanges of one run.
bool measure(FramedUnit& framed, const std::vector<std::string>& prefix, const Command& command, double& seconds,
             double& exchanges)
{
    std::vector<double> times;
    std::vector<std::string> words = prefix;
    words.insert(words.end(), command.words.begin(), command.words.end());
    for (int i = 0; i < command.runs; ++i) {
        const CommandTiming timing = timeCommand(framed, words);
        if (!timing.ok) {
            std::printf("%s failed: %s\n", command.name, timing.error.c_str());
            return false;
        }
        times.push_back(timing.seconds);
        exchanges = timing.exchanges;
    }
    std::sort(times.begin(), times.end());
    seconds = times[times.size() / 2];
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const std::uint32_t frameMs = argc > 1 ? static_cast<std::uint32_t>(std::atoi(argv[1])) : 1;
    static FramedUnit framed(frameMs, 1000);
    if (!framed.server)
        return 1;
    std::string error;
    if (!installVirtualUsb(wineSidePathW(KAVIX_VUSB_DIR), {framed.endpoint}, error)) {
        std::printf("virtual USB: %s\n", error.c_str());
        return 1;
    }
    createLinkEvents();
    setDeviceBackend(&hidBackend);
    for (int waited = 0; !findDevice() && waited < 10000; waited += 50)
        Sleep(50);
    _putenv_s("KAVIX_UNIT", "");

    const Command commands[] = {
        {"config read", {"config", "read", "-o", "FILE"}, 9},
        {"counters", {"counters"}, 9},
        {"protocol (1000)", {"protocol", "-o", "FILE"}, 3},
    };
    std::printf("kavix-cli, simulated K-Series unit with frames of %u ms; median times\n", frameMs);
    std::printf("%-16s %10s %10s %10s %10s %10s %10s\n", "", "exchanges", "bound ms", "USB ms", "USB/bound",
                "TCP ms", "TCP/bound");
    bool ok = true;
    for (const Command& command : commands) {
        double usbSeconds = 0, tcpSeconds = 0, exchanges = 0;
        ok = measure(framed, {}, command, usbSeconds, exchanges) &&
             measure(framed, {"--unit", framed.endpoint}, command, tcpSeconds, exchanges) && ok;
        const double bound = usbBoundSeconds(exchanges, frameMs);
        std::printf("%-16s %10.0f %10.1f %10.1f %10.2f %10.1f %10.2f\n", command.name, exchanges, bound * 1000,
                    usbSeconds * 1000, bound / usbSeconds, tcpSeconds * 1000, bound / tcpSeconds);
    }
    removeVirtualUsb(error);
    return ok ? 0 : 1;
}
