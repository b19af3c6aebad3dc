#include "sim_unit.h"

#include <cmath>
#include <cstring>

#include "base/le_bytes.h"
#include "link/report_format.h"

namespace {

constexpr std::uint8_t ansUnexpected = 0x5A; // a code no engine accepts

// Tenths of °C to tenths of °F, rounded to nearest.
std::int32_t fahrenheitTenths(std::int32_t celsiusTenths)
{
    std::int32_t scaled = celsiusTenths * 9;
    std::int32_t rounded = scaled >= 0 ? (scaled + 2) / 5 : (scaled - 2) / 5;
    return rounded + 320;
}

double secondsRunning(const SimUnit& unit)
{
    if (unit.fixedSeconds >= 0)
        return unit.fixedSeconds;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - unit.started).count();
}

// Slow, smooth drifts around a working point: minutes per cycle.
std::int32_t drift(double seconds, double periodSeconds, double amplitude)
{
    return static_cast<std::int32_t>(std::lround(amplitude * std::sin(6.283185307 * seconds / periodSeconds)));
}

// What the unit's own control does when it is switched on.
void automaticOutputs(SimUnit& unit)
{
    if (unit.options.family == 'M') {
        unit.live.outputs = 0x01 | 0x02 | 0x04 | 0x08 | (0x3u << 8); // blowers, pumps, compressors 1-2
        unit.live.blowerPower[0] = 70;
        unit.live.blowerPower[1] = 55;
    } else {
        unit.live.outputs = 0x01 | 0x02 | 0x04; // blower, compressor, sea water pump
        unit.live.blowerPower[0] = 60;
    }
}

// What the unit's own control does: its automatic outputs while switched
// on, everything off while switched off.
void ownControl(SimUnit& unit)
{
    if (unit.options.switchedOn) {
        automaticOutputs(unit);
        return;
    }
    unit.live.outputs = 0;
    unit.live.blowerPower[0] = 0;
    unit.live.blowerPower[1] = 0;
}

// The monitor's command record: the manual flag puts the outputs under the
// installer's control, but only while the unit is switched off.
void applyCommandRecord(SimUnit& unit, const std::uint8_t* request)
{
    const std::uint8_t* command = request + outPayload;
    const bool m = unit.options.family == 'M';
    std::memcpy(unit.live.lastCommand, command, m ? statusLengthM : statusLengthK);
    ++unit.live.polls;
    unit.live.lastPollManual = (command[m ? 36 : 22] & 0x01) != 0;
    unit.live.manual = unit.live.lastPollManual && !unit.options.switchedOn;
    if (!unit.live.manual) {
        ownControl(unit);
        return;
    }
    if (m) {
        unit.live.outputs = readLe32(command + 4) & 0x3FFF;
        unit.live.blowerPower[0] = command[12] > 100 ? 100 : command[12];
        unit.live.blowerPower[1] = command[13] > 100 ? 100 : command[13];
    } else {
        unit.live.outputs = command[4] & 0x0F;
        unit.live.blowerPower[0] = command[6] > 100 ? 100 : command[6];
    }
}

bool startsBlockTransfer(std::uint8_t command)
{
    return command == 0x35 || command == 0x36 || command == 0x3B || command == cmdAnnounceWrite;
}

void answerPoll(SimUnit& unit, SimSession&, const std::uint8_t* request, SimReply& reply)
{
    applyCommandRecord(unit, request);
    std::uint8_t* answer = addAnswer(reply, request, unit.options.pollAnswerCode);
    buildStatusRecord(unit, answer + outPayload);
}

} // namespace

SimOptions defaultSimOptions(char family)
{
    SimOptions options;
    options.family = family == 'M' ? 'M' : 'K';
    if (options.family == 'M') {
        options.kind = 2;
        options.firmwareMajor = 2;
        options.firmwareMinor = 4;
        options.product = "ControlUnitM Simulator";
    }
    return options;
}

void initSimUnit(SimUnit& unit, const SimOptions& options)
{
    std::lock_guard<std::mutex> hold(unit.lock);
    unit.options = options;
    unit.live = SimLiveState{};
    if (options.switchedOn)
        automaticOutputs(unit);
    unit.started = std::chrono::steady_clock::now();
}

std::uint16_t firmwareWord(std::uint8_t major, std::uint8_t minor)
{
    return static_cast<std::uint16_t>(((major & 0x0F) << 8) | (((minor / 10) & 0x0F) << 4) | (minor % 10));
}

std::size_t buildStatusRecord(SimUnit& unit, std::uint8_t* out)
{
    const SimOptions& options = unit.options;
    const bool m = options.family == 'M';
    const std::size_t length = m ? statusLengthM : statusLengthK;
    std::memset(out, 0, length);
    const double seconds = secondsRunning(unit);
    const bool on = options.switchedOn;
    // Cooling pulls the evaporator (or water) down while the unit runs.
    const std::int32_t cold = (on ? 75 : 190) + drift(seconds, 90, 15);
    const std::int32_t room = 235 + drift(seconds, 300, 12);
    const std::uint32_t mains = static_cast<std::uint32_t>(230 + drift(seconds, 40, 2));
    const std::uint32_t flags = (on ? 0x8000u : 0u) | (options.fahrenheit ? 0x0001u : 0u);

    out[0] = options.faults.mismatchType ? 2 : 1;
    out[1] = options.kind;
    writeLe16(out + 2, firmwareWord(options.firmwareMajor, options.firmwareMinor));
    if (m) {
        writeLe32(out + 4, unit.live.outputs);
        // CAN bus and both compressor boards present, flow switch closed,
        // low and high pressure switches of all six compressors closed.
        writeLe32(out + 8, 0x02 | 0x08 | 0x10 | 0x20 | (0x3Fu << 6) | (0x3Fu << 12));
        out[12] = unit.live.blowerPower[0];
        out[13] = unit.live.blowerPower[1];
        writeLe16(out + 14, static_cast<std::uint32_t>(cold));
        writeLe16(out + 16, static_cast<std::uint32_t>(fahrenheitTenths(cold)));
        writeLe16(out + 18, static_cast<std::uint32_t>(room));
        writeLe16(out + 20, static_cast<std::uint32_t>(fahrenheitTenths(room)));
        writeLe16(out + 26, mains);
        out[28] = 50;
        writeLe32(out + 29, options.errorBits & 0x1FFFF);
        writeLe16(out + 33, flags);
        out[35] = options.functionMode;
    } else {
        out[4] = static_cast<std::uint8_t>(unit.live.outputs);
        out[5] = 0x02 | 0x04; // both pressure switches closed
        out[6] = unit.live.blowerPower[0];
        writeLe16(out + 7, static_cast<std::uint32_t>(cold));
        writeLe16(out + 9, static_cast<std::uint32_t>(fahrenheitTenths(cold)));
        writeLe16(out + 11, static_cast<std::uint32_t>(room));
        writeLe16(out + 13, static_cast<std::uint32_t>(fahrenheitTenths(room)));
        writeLe16(out + 15, mains);
        writeLe16(out + 17, options.errorBits & 0x3F);
        writeLe16(out + 19, flags);
        out[21] = options.functionMode;
    }
    return length;
}

std::uint8_t* addAnswer(SimReply& reply, const std::uint8_t* request, std::uint8_t code)
{
    std::uint8_t* answer = reply.reports[reply.count < 2 ? reply.count++ : 1];
    std::memset(answer, 0, simReportSize);
    answer[1] = request[1];
    answer[2] = code;
    return answer;
}

void addRefusal(SimUnit& unit, SimReply& reply, const std::uint8_t* request)
{
    std::uint8_t* answer = addAnswer(reply, request, ansRefused);
    answer[5] = unit.options.kind;
    answer[6] = unit.options.firmwareMinor;
    answer[7] = unit.options.firmwareMajor;
}

bool blockRequestIsMine(const SimUnit& unit, const std::uint8_t* request)
{
    const std::uint8_t command = request[2];
    const std::uint8_t selector = request[outPayload];
    const std::uint8_t kind = request[outPayload + 1];
    // The kind the unit reports decides which requests it takes, so that a
    // unit started as another kind refuses the program's requests as that
    // unit would.
    if (kind != unit.options.kind)
        return false;
    const bool kSeriesConfiguration = kind == 1 && (command == cmdReadConfiguration || command == cmdAnnounceWrite);
    return selector == (kSeriesConfiguration ? 3 : 1);
}

SimReply answerRequest(SimUnit& unit, SimSession& session, const std::uint8_t* request)
{
    std::lock_guard<std::mutex> hold(unit.lock);
    SimReply reply;
    const SimFaults& faults = unit.options.faults;
    ++session.requests;
    ++unit.requestsSeen;
    reply.disconnect = faults.disconnectAfter != 0 && session.requests >= faults.disconnectAfter;
    if (faults.silent && session.answers >= faults.silentAfter)
        return reply;

    if (faults.wrongCodeEvery != 0 && session.requests % faults.wrongCodeEvery == 0) {
        addAnswer(reply, request, ansUnexpected);
    } else if (request[2] == cmdPoll) {
        answerPoll(unit, session, request, reply);
    } else if (startsBlockTransfer(request[2]) && !blockRequestIsMine(unit, request)) {
        addRefusal(unit, reply, request);
    } else if (!(unit.blockHandler && unit.blockHandler(unit, session, request, reply))) {
        reply.count = 0;
        addRefusal(unit, reply, request);
    }
    if (reply.count == 0)
        return reply;

    ++session.answers;
    if (faults.dropEvery != 0 && session.answers % faults.dropEvery == 0) {
        reply.count = 0;
        return reply;
    }
    reply.delayMs = faults.delayMs;
    // The answer that is really meant for this request goes last; a late copy
    // of the previous one goes before it.
    std::uint8_t current[simReportSize];
    std::memcpy(current, reply.reports[reply.count - 1], simReportSize);
    if (faults.duplicateEvery != 0 && session.answers % faults.duplicateEvery == 0 && session.haveLastAnswer) {
        std::memcpy(reply.reports[0], session.lastAnswer, simReportSize);
        std::memcpy(reply.reports[1], current, simReportSize);
        reply.count = 2;
    }
    std::memcpy(session.lastAnswer, current, simReportSize);
    session.haveLastAnswer = true;
    return reply;
}
