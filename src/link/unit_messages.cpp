#include "link/unit_messages.h"

#include <cstdio>

namespace {

constexpr int textFirstWrongKind = 67;   // 67..72: kinds 0..5
constexpr int textUnknownUnit = 73;
constexpr int textFirmwareK = 74;
constexpr int textFirmwareM = 202;

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
            std::snprintf(out, size, "Firmware (%d.%.2d) %s", major, minor, texts[textFirmwareM]);
        else
            std::snprintf(out, size, "Firmware (%d.%.2d)%s", major, minor, texts[textFirmwareK]);
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
        copyText(out, size, texts[66]);
        return {true, true, false};
    case 1:
        if (!answerByte4)
            return {false, true, false};
        wrongUnitMessage(out, size, ownKind, answerByte4, texts);
        return {true, true, false};
    case 2:
        copyText(out, size, texts[75]);
        return {true, true, false};
    case 3:
        copyText(out, size, texts[76]);
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
        return texts[65];
    case featureConfigM:
        return texts[201];
    case featureCountersK:
    case featureCountersM:
        return texts[94];
    case featureProtocolReadK:
    case featureProtocolReadM:
        return texts[99];
    case featureMonitorK:
    case featureMonitorM:
        return texts[141];
    }
    return "";
}

const char* baseTitle(FeatureKind feature, const char* const* texts)
{
    switch (feature) {
    case featureConfigK:
    case featureConfigM:
        return texts[6];
    case featureCountersK:
    case featureCountersM:
        return texts[84];
    case featureMonitorK:
    case featureMonitorM:
        return texts[111];
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
        return texts[84];
    case featureProtocolReadK:
    case featureProtocolReadM:
        return texts[95];
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
