#include <cstring>

#include "app/texts.h"
#include "monitor/monitor_internal.h"

namespace {

constexpr std::uint16_t unitSwitchedOn = 0x8000;

// With manual control off the command mirrors what the unit does,
// so switching manual control on starts from the unit's present outputs.
void mirrorStatus(MonitorModel& model)
{
    if (model.family == Family::m) {
        model.commandM.outputs = model.statusM.outputs;
        model.commandM.blowerPower[0] = model.statusM.blowerPower[0];
        model.commandM.blowerPower[1] = model.statusM.blowerPower[1];
    } else {
        model.commandK.outputs = model.statusK.outputs;
        model.commandK.blowerPower = model.statusK.blowerPower;
    }
}

std::uint16_t statusFlags(const MonitorModel& model)
{
    return model.family == Family::m ? model.statusM.flags : model.statusK.flags;
}

} // namespace

bool handleAnswer(MonitorModel& model, AppState& app, const std::uint8_t* status,
                  std::size_t length)
{
    const std::size_t size = model.family == Family::m ? sizeof model.statusM : sizeof model.statusK;
    if (!model.polling || status == nullptr || length < size)
        return false;

    // 1. Progress: one step every 8 answers, round again after 256.
    ++model.progressCounter;
    setProgress(model.view, (model.progressCounter >> 3) & 31);

    // 2. The status record.
    if (model.family == Family::m)
        std::memcpy(&model.statusM, status, size);
    else
        std::memcpy(&model.statusK, status, size);

    // 3. Mirror the unit, or hold a manually started compressor to its limit.
    if (manualOn(model))
        applyRunLimit(model, app);
    else
        mirrorStatus(model);

    // 4. and 5.
    displayStatus(model);
    runSequenceStep(model, app);

    // 6. The request that this answer releases carries the command as it is
    // now, even if the unit's switch below ends manual control.
    preparePayload(model);

    // 7. A switched-on unit cannot be controlled by hand.
    if ((statusFlags(model) & unitSwitchedOn) != 0) {
        setManualFlag(model, false);
        setOutputsEnabled(model, false);
        setEnabled(model.view, idManualToggle, false);
        setToggleText(model.view, text(textOn));
    } else {
        setEnabled(model.view, idManualToggle, true);
    }

    // 8. The window releases the next request.
    return true;
}
