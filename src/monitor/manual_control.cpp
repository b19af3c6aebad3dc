#include <string>

#include "app/texts.h"
#include "monitor/monitor_format.h"
#include "monitor/monitor_internal.h"

namespace {

constexpr std::int32_t restartLockTicks = 1800;  // 180 s between compressor starts
constexpr std::int32_t runLimitTicks = 600;      // 60 s of manual compressor run
constexpr std::int32_t valveReversedTicks = 50;  // a little over 5 s
constexpr std::int32_t valveRestoredTicks = 20;  // a little over 2 s
constexpr int maxBlowerPercent = 100;

// Compressor index of an output bit, or -1.
int compressorOfBit(const FamilyRules& rules, int bit)
{
    const int c = bit - rules.compressorBit0;
    return c >= 0 && c < rules.compressorCount ? c : -1;
}

// The compressor whose start sequence runs. The K-Series has only one; an
// M-Series index outside 0-5 (the field is part of the settings file) is
// taken as compressor 1 rather than shifting outside the output word.
int sequenceCompressorOf(const MonitorModel& model, const AppState& app)
{
    if (model.family != Family::m)
        return 0;
    const int c = app.sequenceCompressor;
    return c >= 0 && c < rulesOf(Family::m).compressorCount ? c : 0;
}

void refuseRestart(MonitorModel& model, std::int32_t restartTicks)
{
    char seconds[monitorTextSize];
    formatDecimal((restartLockTicks - restartTicks) / 10, seconds);
    showMessage(model.view, std::string(text(textRestartLockBefore)) + seconds + text(textRestartLockAfter),
                familyName(model.family));
}

} // namespace

void toggleManual(MonitorModel& model, AppState& app)
{
    if (!model.view.controls[idManualToggle].enabled)
        return;
    const bool on = !manualOn(model);
    setManualFlag(model, on);
    setToggleText(model.view, text(on ? textOff : textOn));
    setOutputsEnabled(model, on);
    if (!on)
        return;
    if (model.family == Family::m) {
        // Every compressor's run limit counts from now; a running start
        // sequence goes on.
        for (std::int32_t& ticks : app.runTicks)
            ticks = 0;
        // While manual control was off the indicators showed the unit, which
        // has not seen the sequence's compressor yet. The sequence still
        // holds it and will switch it on: show it marked, so that a click
        // stops it and aborts the sequence instead of counting as a new
        // start that the restart lock refuses.
        if (app.sequenceActive != 0)
            setMarked(model.view, rulesOf(model.family).compressorBit0 + sequenceCompressorOf(model, app), true);
    } else {
        app.runTicks[0] = 0;
        model.sequencePhase = sequenceIdle;
        app.sequenceActive = 0;
        app.stepTicks = 0;
    }
}

void clickOutput(MonitorModel& model, AppState& app, int id)
{
    const FamilyRules& rules = rulesOf(model.family);
    if (!manualOn(model) || id < 0 || id >= rules.outputCount)
        return;
    const char* caption = familyName(model.family);
    if (id == rules.valveBit && app.sequenceActive != 0) {
        showMessage(model.view, text(textNoValveControl), caption);
        return;
    }

    const std::uint32_t bit = 1u << id;
    const int compressor = compressorOfBit(rules, id);
    if (model.view.controls[id].marked) {
        setMarked(model.view, id, false);
        setOutputCommand(model, outputCommand(model) & ~bit);
        // Switching the sequence's compressor off aborts the sequence; the
        // next answer restores the valve.
        if (compressor >= 0 && compressor == sequenceCompressorOf(model, app))
            app.sequenceActive = 0;
        return;
    }

    if (compressor >= 0) {
        if (app.restartTicks[compressor] < restartLockTicks) {
            refuseRestart(model, app.restartTicks[compressor]);
            return;
        }
        if (model.family == Family::m && app.sequenceActive != 0) {
            showMessage(model.view, text(textNoCompressorStart), caption);
            return;
        }
        // The restart lock counts from this start, the run limit too.
        app.restartTicks[compressor] = 0;
        app.runTicks[compressor] = 0;
        app.sequenceActive = 1;
        if (model.family == Family::m)
            app.sequenceCompressor = compressor;
    }
    setMarked(model.view, id, true);
    setOutputCommand(model, outputCommand(model) | bit);
}

bool scrollBlower(MonitorModel& model, int scrollId, ScrollAction action, int thumbPosition)
{
    const FamilyRules& rules = rulesOf(model.family);
    const int blower = scrollId - rules.blowerScrollId0;
    if (!manualOn(model) || blower < 0 || blower >= rules.blowerCount)
        return false;

    int percent = blowerCommand(model, blower);
    switch (action) {
    case ScrollAction::lineLeft:
        if (percent > 0)
            --percent;
        break;
    case ScrollAction::lineRight:
        if (percent < maxBlowerPercent)
            ++percent;
        break;
    case ScrollAction::thumbTrack:
    case ScrollAction::thumbPosition:
        // The bar's range is 0-100; anything else is held to it.
        percent = thumbPosition & 0xFF;
        if (percent > maxBlowerPercent)
            percent = maxBlowerPercent;
        break;
    default:
        return true;  // page steps and the rest change nothing
    }
    setBlowerCommand(model, blower, static_cast<std::uint8_t>(percent));
    setPosition(model.view, scrollId, percent);
    char field[monitorTextSize];
    formatDecimal(percent, field);
    setText(model.view, rules.blowerFieldId0 + blower, field);
    return true;
}

void applyRunLimit(MonitorModel& model, const AppState& app)
{
    const FamilyRules& rules = rulesOf(model.family);
    std::uint32_t outputs = outputCommand(model);
    for (int c = 0; c < rules.compressorCount; ++c) {
        const int bit = rules.compressorBit0 + c;
        if ((outputs & (1u << bit)) != 0 && app.runTicks[c] > runLimitTicks) {
            outputs &= ~(1u << bit);
            setMarked(model.view, bit, false);
        }
    }
    setOutputCommand(model, outputs);
}

void runSequenceStep(MonitorModel& model, AppState& app)
{
    const FamilyRules& rules = rulesOf(model.family);
    const std::uint32_t compressor = 1u << (rules.compressorBit0 + sequenceCompressorOf(model, app));
    const std::uint32_t valve = 1u << rules.valveBit;
    const bool active = app.sequenceActive != 0;
    std::uint32_t outputs = outputCommand(model);
    const std::uint32_t savedValve = model.savedValve ? valve : 0u;
    const std::uint32_t reversedValve = model.savedValve ? 0u : valve;

    switch (model.sequencePhase) {
    case sequenceValveReversed:
        if (!active) {
            outputs = (outputs & ~valve) | savedValve;
            model.sequencePhase = sequenceIdle;
        } else {
            outputs = (outputs & ~(compressor | valve)) | reversedValve;
            if (app.stepTicks > valveReversedTicks) {
                app.stepTicks = 0;
                model.sequencePhase = sequenceValveRestored;
            }
        }
        break;
    case sequenceValveRestored:
        outputs = (outputs & ~valve) | savedValve;
        if (!active) {
            model.sequencePhase = sequenceIdle;
        } else if (app.stepTicks > valveRestoredTicks) {
            outputs |= compressor;
            app.sequenceActive = 0;
            model.sequencePhase = sequenceIdle;
        }
        break;
    default:
        app.stepTicks = 0;
        model.sequencePhase = sequenceIdle;
        if (active) {
            model.savedValve = (outputs & valve) != 0;
            outputs &= ~(compressor | valve);
            if (!model.savedValve)
                outputs |= valve;
            model.sequencePhase = sequenceValveReversed;
        }
        break;
    }
    setOutputCommand(model, outputs);
}
