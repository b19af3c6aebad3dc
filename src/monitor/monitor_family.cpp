#include "monitor/monitor_internal.h"

#include <cstddef>
#include <cstring>

namespace {

const FamilyRules kSeriesRules = {4, 1, 1, 3, 1, 4, 5, 23, "Polarund K Configuration"};
const FamilyRules mSeriesRules = {14, 6, 8, 4, 2, 14, 16, 37, "CUQ1 Configuration"};

} // namespace

const FamilyRules& rulesOf(Family family) { return family == Family::m ? mSeriesRules : kSeriesRules; }

int monitorPayloadLength(Family family) { return rulesOf(family).payloadLength; }
const char* monitorCommonControlsCaption(Family family) { return rulesOf(family).commonControlsCaption; }
int monitorOutputCount(Family family) { return rulesOf(family).outputCount; }

bool manualOn(const MonitorModel& model)
{
    const std::uint8_t flag = model.family == Family::m ? model.commandM.manual : model.commandK.manual;
    return (flag & 1) != 0;
}

std::uint32_t outputCommand(const MonitorModel& model)
{
    return model.family == Family::m ? model.commandM.outputs : model.commandK.outputs;
}

std::uint8_t blowerCommand(const MonitorModel& model, int blower)
{
    if (model.family == Family::m)
        return blower == 1 ? model.commandM.blowerPower[1] : model.commandM.blowerPower[0];
    return model.commandK.blowerPower;
}

void setOutputCommand(MonitorModel& model, std::uint32_t outputs)
{
    if (model.family == Family::m)
        model.commandM.outputs = outputs;
    else
        model.commandK.outputs = static_cast<std::uint8_t>(outputs);
}

void setBlowerCommand(MonitorModel& model, int blower, std::uint8_t percent)
{
    if (model.family == Family::m)
        model.commandM.blowerPower[blower == 1 ? 1 : 0] = percent;
    else
        model.commandK.blowerPower = percent;
}

void setManualFlag(MonitorModel& model, bool on)
{
    std::uint8_t& flag = model.family == Family::m ? model.commandM.manual : model.commandK.manual;
    flag = static_cast<std::uint8_t>(on ? (flag | 1) : (flag & ~1));
}

void preparePayload(MonitorModel& model)
{
    const bool previousCarriedManual = payloadCarriesManual(model);
    if (model.family == Family::m) {
        std::memcpy(model.payload, &model.commandM, sizeof model.commandM);
        MonitorCommandM release = model.commandM;
        release.outputs = model.statusM.outputs;
        release.blowerPower[0] = model.statusM.blowerPower[0];
        release.blowerPower[1] = model.statusM.blowerPower[1];
        release.manual = static_cast<std::uint8_t>(release.manual & ~1);
        std::memcpy(model.releasePayload, &release, sizeof release);
    } else {
        std::memcpy(model.payload, &model.commandK, sizeof model.commandK);
        MonitorCommandK release = model.commandK;
        release.outputs = model.statusK.outputs;
        release.blowerPower = model.statusK.blowerPower;
        release.manual = static_cast<std::uint8_t>(release.manual & ~1);
        std::memcpy(model.releasePayload, &release, sizeof release);
    }
    model.payloadLength = rulesOf(model.family).payloadLength;
    model.releaseDue = previousCarriedManual || payloadCarriesManual(model);
}

bool payloadCarriesManual(const MonitorModel& model)
{
    const std::size_t flag = model.family == Family::m ? offsetof(MonitorCommandM, manual)
                                                       : offsetof(MonitorCommandK, manual);
    return (model.payload[flag] & 1) != 0;
}
