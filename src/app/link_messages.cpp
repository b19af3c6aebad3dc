#include "app/link_messages.h"

#include <cstdio>

#include "app/text_ids.h"

namespace {

void copyText(char* out, std::size_t size, const char* text)
{
    std::snprintf(out, size, "%s", text);
}

} // namespace

void wrongUnitMessage(char* out, std::size_t size, Family family, const std::uint8_t* answerByte4,
                      const char* const* texts)
{
    const int kind = answerByte4[1];
    const int minor = answerByte4[2];
    const int major = answerByte4[3];
    if (kind == familyUnitKind(family)) {
        if (family == Family::m)
            std::snprintf(out, size, "Firmware (%d.%.2d) %s", major, minor, texts[textFirmwareMismatchM]);
        else
            std::snprintf(out, size, "Firmware (%d.%.2d)%s", major, minor, texts[textFirmwareMismatchK]);
        return;
    }
    copyText(out, size, kind <= lastNamedUnitKind ? texts[textFirstWrongKind + kind] : texts[textUnknownUnit]);
}

EndReaction standardEndReaction(std::uint32_t endCode, Family family, const std::uint8_t* answerByte4,
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
        wrongUnitMessage(out, size, family, answerByte4, texts);
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

const char* titlePrefix(Feature feature, Family family, const char* const* texts)
{
    switch (feature) {
    case Feature::configuration:
        return texts[family == Family::m ? textConfigTitlePrefixM : textConfigTitlePrefixK];
    case Feature::counters:
        return texts[textCountersTitlePrefix];
    case Feature::protocolRead:
        return texts[textReadProtocolTitlePrefix];
    case Feature::monitor:
        return texts[textMonitorTitlePrefix];
    }
    return "";
}

const char* baseTitle(Feature feature, const char* const* texts)
{
    switch (feature) {
    case Feature::configuration:
        return texts[textConfigurationTitle];
    case Feature::counters:
        return texts[textRunningCounter];
    case Feature::monitor:
        return texts[textMonitor];
    case Feature::protocolRead:
        return nullptr;
    }
    return nullptr;
}

const char* commonControlsCaption(Feature feature, Family family, const char* const* texts)
{
    const bool m = family == Family::m;
    switch (feature) {
    case Feature::configuration:
        return m ? "CUM1 Configuration" : "CUK1 Konfiguration";
    case Feature::counters:
        return m ? "CUM1 Configuration" : texts[textRunningCounter];
    case Feature::protocolRead:
        return texts[textReadProtocol];
    case Feature::monitor:
        return m ? "CUQ1 Configuration" : "Polarund K Configuration";
    }
    return "";
}

void connectedTitle(char* out, std::size_t size, Feature feature, Family family, const char* product,
                    const char* const* texts)
{
    std::snprintf(out, size, "%s%s", titlePrefix(feature, family, texts), product);
}
