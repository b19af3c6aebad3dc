#include "link/unit_messages.h"
#include "app/text_ids.h"

#include <cstdio>

namespace {


void copyText(char* out, std::size_t size, const char* text)
{
    std::snprintf(out, size, "%s", text);
}

} // namespace

void wrongUnitMessage(char* out, std::size_t size, int ownKind, const std::uint8_t* answerByte4,
                      const char* const* texts)
{
    const int kind = answerByte4[1];
    const int minor = answerByte4[2];
    const int major = answerByte4[3];
    if (kind == ownKind) {
        if (ownKind == unitM)
            std::snprintf(out, size, "Firmware (%d.%.2d) %s", major, minor, texts[textFirmwareMismatchM]);
        else
            std::snprintf(out, size, "Firmware (%d.%.2d)%s", major, minor, texts[textFirmwareMismatchK]);
        return;
    }
    copyText(out, size, kind <= unitVentora ? texts[textFirstWrongKind + kind] : texts[textUnknownUnit]);
}

EndReaction standardEndReaction(std::uint32_t endCode, int ownKind, const std::uint8_t* answerByte4,
                                const char* const* texts, char* out, std::size_t size)
{
    if (size > 0)
        out[0] = '\0';
    switch (endCode) {
    case 0:
        copyText(out, size, texts[textCommunicationLost]);
        return {true, true, false};
    case 1:
        if (!answerByte4)
            return {false, true, false};
        wrongUnitMessage(out, size, ownKind, answerByte4, texts);
        return {true, true, false};
    case 2:
        copyText(out, size, texts[textWriteFailed]);
        return {true, true, false};
    case 3:
        copyText(out, size, texts[textProgrammed]);
        return {true, false, false};
    case 4:
        copyText(out, size, usbErrorText);
        return {true, true, false};
    case 5:
        return {false, false, true};
    default:
        return {false, false, false};
    }
}

int featureOwnKind(FeatureKind feature)
{
    switch (feature) {
    case featureConfigM:
    case featureCountersM:
    case featureProtocolReadM:
    case featureMonitorM:
        return unitM;
    default:
        return unitK;
    }
}

const char* familyCaption(FeatureKind feature)
{
    return featureOwnKind(feature) == unitM ? "M-Series" : "K-Series";
}

const char* titlePrefix(FeatureKind feature, const char* const* texts)
{
    switch (feature) {
    case featureConfigK:
        return texts[textConfigTitlePrefixK];
    case featureConfigM:
        return texts[textConfigTitlePrefixM];
    case featureCountersK:
    case featureCountersM:
        return texts[textCountersTitlePrefix];
    case featureProtocolReadK:
    case featureProtocolReadM:
        return texts[textReadProtocolTitlePrefix];
    case featureMonitorK:
    case featureMonitorM:
        return texts[textMonitorTitlePrefix];
    }
    return "";
}

const char* baseTitle(FeatureKind feature, const char* const* texts)
{
    switch (feature) {
    case featureConfigK:
    case featureConfigM:
        return texts[textConfigurationTitle];
    case featureCountersK:
    case featureCountersM:
        return texts[textRunningCounter];
    case featureMonitorK:
    case featureMonitorM:
        return texts[textMonitor];
    case featureProtocolReadK:
    case featureProtocolReadM:
        return nullptr;
    }
    return nullptr;
}

const char* commonControlsCaption(FeatureKind feature, const char* const* texts)
{
    switch (feature) {
    case featureConfigK:
        return "CUK1 Konfiguration";
    case featureCountersK:
        return texts[textRunningCounter];
    case featureProtocolReadK:
    case featureProtocolReadM:
        return texts[textReadProtocol];
    case featureMonitorK:
        return "Polarund K Configuration";
    case featureConfigM:
    case featureCountersM:
        return "CUM1 Configuration";
    case featureMonitorM:
        return "CUQ1 Configuration";
    }
    return "";
}

void connectedTitle(char* out, std::size_t size, FeatureKind feature, const char* product,
                    const char* const* texts)
{
    std::snprintf(out, size, "%s%s", titlePrefix(feature, texts), product);
}
