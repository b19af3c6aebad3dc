#include "cli/cli_unit.h"

#include <cstring>
#include <string>

#include "app/link_messages.h"
#include "app/texts.h"
#include "cli/console_text.h"
#include "link/link_state.h"
#include "link/poll_engine.h"
#include "monitor/monitor_model.h"
#include "monitor/monitor_records.h"

void printMessage(const CliContext& context, std::string_view text)
{
    context.err << utf8FromCp1252(text) << '\n';
}

std::string unitAddress(const CliContext& context)
{
    return context.endpoint.empty() ? "USB" : "TCP " + context.endpoint;
}

void setReadOnlyPoll(LinkRequest& request, Family family)
{
    request = LinkRequest{};
    request.command = monitorPollCommand;
    request.subCode = monitorPollSubCode;
    request.blockSize = static_cast<std::uint8_t>(monitorPayloadLength(family));
    request.expectedAnswerType = monitorAnswerType;
    request.expectedUnitKind = familyUnitKind(family);
    if (family == Family::m) {
        MonitorCommandM command{};
        command.lead[0] = 0x01;
        command.lead[1] = 0x02;
        std::memcpy(request.payload, &command, sizeof command);
    }
}

TransferLimits transferLimits(const CliContext& context)
{
    TransferLimits limits;
    limits.stallMs = context.stallMs;
    limits.interrupted = context.interrupted;
    return limits;
}

namespace {

void takeStatus(UnitInfo& unit, Family family, const std::uint8_t* answer, std::size_t length)
{
    unit.family = family;
    std::memcpy(unit.status, answer, length);
    unit.statusLength = length;
    unit.kind = answer[1];
    unit.firmware = static_cast<std::uint16_t>(answer[2] | answer[3] << 8);
}

int wrongUnit(const CliContext& context, Family family, const std::uint8_t* answer)
{
    char message[256];
    wrongUnitMessage(message, sizeof message, family, answer, uiText);
    printMessage(context, message);
    return exitWrongUnit;
}

} // namespace

int openUnit(const CliContext& context, UnitInfo& unit)
{
    prepareTerminalLink(context.endpoint);
    switch (connectUnit(unit.product)) {
    case ConnectResult::connected:
        break;
    case ConnectResult::noUnit:
        printMessage(context, std::string(text(textNoUnitFound)) + " (tried " + unitAddress(context) + ")");
        if (context.endpoint.empty() && !haveUsbBackend())
            context.err << "Here a unit is reached over the TCP wire only: give it with --unit HOST:PORT or KAVIX_UNIT.\n";
        return exitNoUnit;
    case ConnectResult::noProduct:
        printMessage(context, std::string(text(textNoUnitConnected)) + " (tried " + unitAddress(context) + ")");
        return exitNoUnit;
    }

    const Family asked = context.family.value_or(Family::k);
    setReadOnlyPoll(linkRequest, asked);
    bool answered = false;
    const TransferResult result = runTransfer(
        pollEngine, linkRequest,
        [&](const TerminalNotification& data) {
            if (data.length >= 4) {
                takeStatus(unit, asked, data.bytes, data.length);
                answered = true;
            }
            return false;
        },
        transferLimits(context));
    if (answered)
        return exitOk;
    if (result.outcome == TransferOutcome::ended && result.endCode == endWrongUnit && result.hasAnswer) {
        // Without --family, a poll answered by an M-Series unit tells its
        // family; anything else is a unit this program does not serve.
        const std::uint8_t* answer = result.answer;
        if (!context.family && answer[0] == monitorAnswerType && answer[1] == familyUnitKind(Family::m)) {
            takeStatus(unit, Family::m, answer, sizeof result.answer);
            return exitOk;
        }
        return wrongUnit(context, asked, answer);
    }
    return transferFailed(context, asked, result);
}

int transferFailed(const CliContext& context, Family family, const TransferResult& result)
{
    switch (result.outcome) {
    case TransferOutcome::threadFailed:
        printMessage(context, threadErrorText);
        return exitFailure;
    case TransferOutcome::stalled:
        printMessage(context, text(textCommunicationLost));
        return exitCommunicationLost;
    case TransferOutcome::stopped:
        context.err << "Interrupted.\n";
        return exitInterrupted;
    case TransferOutcome::aborted:
        printMessage(context, usbErrorText);
        return exitDeviceGone;
    case TransferOutcome::ended:
        break;
    }
    switch (result.endCode) {
    case endCommunicationLost:
        printMessage(context, text(textCommunicationLost));
        return exitCommunicationLost;
    case endWrongUnit:
        if (!result.hasAnswer) {
            context.err << "The unit refused the request.\n";
            return exitWrongUnit;
        }
        return wrongUnit(context, family, result.answer);
    case endWriteFailed:
    case endCompleted:   // a write announcement answered "busy"
        printMessage(context, text(textWriteFailed));
        return exitUnitRefused;
    case endDeviceGone:
        printMessage(context, usbErrorText);
        return exitDeviceGone;
    case endRejected:
        context.err << "The unit rejected the configuration.\n";
        return exitUnitRefused;
    default:
        context.err << "The link ended with code " << result.endCode << ".\n";
        return exitFailure;
    }
}
