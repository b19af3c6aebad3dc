#include "monitor/monitor_internal.h"

#include <cstring>

namespace {

const FamilyRules kRules = {4, 1, 1, 3, 1, 4, 5, 23, monitorUnitKindK, "K-Series",
                            "Polarund K Configuration"};
const FamilyRules mRules = {14, 6, 8, 4, 2, 14, 16, 37, monitorUnitKindM, "M-Series",
                            "CUQ1 Configuration"};

} // namespace

const FamilyRules& rulesOf(int family) { return family == familyM ? mRules : kRules; }

int monitorPayloadLength(int family) { return rulesOf(family).payloadLength; }
std::uint8_t monitorUnitKind(int family) { return rulesOf(family).unitKind; }
const char* monitorCaption(int family) { return rulesOf(family).caption; }
const char* monitorCommonControlsCaption(int family) { return rulesOf(family).commonControlsCaption; }
int monitorOutputCount(int family) { return rulesOf(family).outputCount; }

bool manualOn(const MonitorModel& model)
{
    const std::uint8_t flag = model.family == familyM ? model.commandM.manual : model.commandK.manual;
    return (flag & 1) != 0;
}

std::uint32_t outputCommand(const MonitorModel& model)
{
    return model.family == familyM ? model.commandM.outputs : model.commandK.outputs;
}

std::uint8_t blowerCommand(const MonitorModel& model, int blower)
{
    if (model.family == familyM)
        return blower == 1 ? model.commandM.blowerPower[1] : model.commandM.blowerPower[0];
    return model.commandK.blowerPower;
}

void setOutputCommand(MonitorModel& model, std::uint32_t outputs)
{
    if (model.family == familyM)
        model.commandM.outputs = outputs;
    else
        model.commandK.outputs = static_cast<std::uint8_t>(outputs);
}

void setBlowerCommand(MonitorModel& model, int blower, std::uint8_t percent)
{
    if (model.family == familyM)
        model.commandM.blowerPower[blower == 1 ? 1 : 0] = percent;
    else
        model.commandK.blowerPower = percent;
}

void setManualFlag(MonitorModel& model, bool on)
{
    std::uint8_t& flag = model.family == familyM ? model.commandM.manual : model.commandK.manual;
    flag = static_cast<std::uint8_t>(on ? (flag | 1) : (flag & ~1));
}

void preparePayload(MonitorModel& model)
{
    if (model.family == familyM)
        std::memcpy(model.payload, &model.commandM, sizeof model.commandM);
    else
        std::memcpy(model.payload, &model.commandK, sizeof model.commandK);
    model.payloadLength = rulesOf(model.family).payloadLength;
}
