// serve: the unit attached here, shared over the TCP wire with one client at
// a time. The wire has no authentication, so it stays on the loopback; other
// machines come through an SSH tunnel.
#include <atomic>
#include <string>

#include "cli/cli_commands.h"
#include "cli/cli_unit.h"
#include "cli/console_text.h"
#include "cli/unit_bridge.h"
#include "app/link_messages.h"
#include "link/device_backend.h"
#include "link/net_socket.h"
#include "link/remote_wire.h"

namespace {

constexpr int acceptSliceMs = 200;

bool loopbackAddress(const std::string& address) { return address == "127.0.0.1" || address == "localhost"; }

// Sends the identity of the unit found now; false (client turned away) when
// there is none.
bool greetClient(const CliContext& context, NetSocket client)
{
    char product[productStringChars + 1] = {};
    if (connectUnit(product) != ConnectResult::connected) {
        context.err << "No unit attached (tried " << unitAddress(context) << "): the client was turned away.\n";
        return false;
    }
    std::uint8_t record[identityMaxSize];
    const std::size_t length = encodeIdentity(makeIdentity(unitVendorId, unitProductId, product), record);
    return netSendAll(client, record, length);
}

} // namespace

int commandServe(const CliContext& context, const ServeOptions& options)
{
    if (!loopbackAddress(options.address)) {
        context.err << "serve listens on 127.0.0.1 only: the wire has no authentication. To reach the unit from "
                       "another machine, tunnel it with SSH, e.g. on that machine: ssh -L "
                    << options.port << ":127.0.0.1:" << options.port << " USER@THIS-MACHINE, then KAVIX_UNIT=127.0.0.1:"
                    << options.port << ".\n";
        return exitUsage;
    }
    if (!netStartup()) {
        context.err << "The network could not be started.\n";
        return exitFailure;
    }
    const NetSocket listener = netListen("127.0.0.1", options.port);
    if (listener == invalidSocket) {
        context.err << "Port " << options.port << " on 127.0.0.1 is in use; pick another with --port.\n";
        return exitFailure;
    }
    const std::uint16_t port = netLocalPort(listener);
    prepareTerminalLink(context.endpoint);
    context.err << "Sharing the unit on 127.0.0.1:" << port << ", one client at a time (Ctrl-C ends); a client "
                << "silent for " << options.idleSeconds << " s is cut off.\n"
                << "Attach with KAVIX_UNIT=127.0.0.1:" << port << "; from another machine through ssh -L " << port
                << ":127.0.0.1:" << port << ".\n"
                << std::flush;
    if (options.listening)
        options.listening(port);

    static const std::atomic<bool> never{false};
    const std::atomic<bool>& stop = context.interrupted ? *context.interrupted : never;
    unsigned clients = 0;
    while (!stop && (options.clientLimit == 0 || clients < options.clientLimit)) {
        const NetSocket client = netAccept(listener, acceptSliceMs);
        if (client == invalidSocket)
            continue;
        ++clients;
        const int idleMs = static_cast<int>(options.idleSeconds * 1000);
        switch (greetClient(context, client) ? bridgeClient(client, stop, idleMs) : BridgeEnd::clientLeft) {
        case BridgeEnd::deviceGone:
            printMessage(context, usbErrorText);
            break;
        case BridgeEnd::idle:
            context.err << "The client sent nothing for " << options.idleSeconds << " s and was cut off.\n";
            break;
        default:
            break;
        }
        netShutdown(client);
        netClose(client);
    }
    netClose(listener);
    return exitOk;
}
