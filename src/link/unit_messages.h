#pragma once
#include <cstddef>
#include <cstdint>

// Texts of the link's outcomes, built from a text table (germanTexts,
// englishTexts or uiText) so both languages can be checked without a window.

// Unit kinds as the unit reports them in answer byte 5.
enum UnitKind : std::uint8_t {
    unitNordel = 0,
    unitK = 1,        // ControlUnitK: the K-Series windows' own kind
    unitM = 2,        // ControlUnitM: the M-Series windows' own kind
    unitTrelix = 3,
    unitSolvane = 4,
    unitVentora = 5,
};

inline constexpr const char* usbErrorText = "USB-Error !";
inline constexpr const char* threadErrorText = "Can't start thread !";
inline constexpr const char* dllErrorText = "Erforderliche DLL kann nicht geladen werden !";

// Message for end code 1. answerByte4 is the lParam: the address of answer
// byte 4 (kind at +1, firmware minor at +2, major at +3). A unit of the
// window's own kind has the wrong firmware; any other kind is named.
void wrongUnitMessage(char* out, std::size_t size, int ownKind, const std::uint8_t* answerByte4,
                      const char* const* texts);

// The standard reaction to WM_LINK_END, apart from stopping the link and
// re-enabling controls.
struct EndReaction {
    bool show;              // a message box is shown
    bool errorIcon;         // error icon, otherwise information icon
    bool windowCompletion;  // code 5: the window's own completion instead
};

// Fills out with the message for the end code and says how to show it.
EndReaction standardEndReaction(std::uint32_t endCode, int ownKind, const std::uint8_t* answerByte4,
                                const char* const* texts, char* out, std::size_t size);

// The feature windows that open a link, for their titles and captions.
enum FeatureKind {
    featureConfigK,
    featureConfigM,
    featureCountersK,
    featureCountersM,
    featureProtocolReadK,
    featureProtocolReadM,
    featureMonitorK,
    featureMonitorM,
};

int featureOwnKind(FeatureKind feature);              // 1 K-Series, 2 M-Series
const char* familyCaption(FeatureKind feature);        // "K-Series" / "M-Series"
const char* titlePrefix(FeatureKind feature, const char* const* texts);
// nullptr for the protocol-read windows, which close instead.
const char* baseTitle(FeatureKind feature, const char* const* texts);
// Caption of the "DLL cannot be loaded" box of the common-controls check.
const char* commonControlsCaption(FeatureKind feature, const char* const* texts);

// Window title: prefix followed directly by the product string.
void connectedTitle(char* out, std::size_t size, FeatureKind feature, const char* product,
                    const char* const* texts);
