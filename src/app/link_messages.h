#pragma once
// Texts of the link's outcomes and the titles of the windows that open a
// link, built from a text table (germanTexts, englishTexts or uiText) so
// that both languages can be checked without a window.
#include <cstddef>
#include <cstdint>

#include "app/family.h"

inline constexpr const char* usbErrorText = "USB-Error !";
inline constexpr const char* threadErrorText = "Can't start thread !";
inline constexpr const char* dllErrorText = "Erforderliche DLL kann nicht geladen werden !";

// Unit kinds 0 (Nordel) to 5 (Ventora) have a name; a family's own units
// report familyUnitKind(family).
inline constexpr int lastNamedUnitKind = 5;

// Message for end code 1. answerByte4 is the lParam: the address of answer
// byte 4 (kind at +1, firmware minor at +2, major at +3). A unit of the
// family's own kind has the wrong firmware; any other kind is named.
void wrongUnitMessage(char* out, std::size_t size, Family family, const std::uint8_t* answerByte4,
                      const char* const* texts);

// The standard reaction to WM_LINK_END, apart from stopping the link and
// re-enabling controls.
struct EndReaction {
    bool show;              // a message box is shown
    bool errorIcon;         // error icon, otherwise information icon
    bool windowCompletion;  // code 5: the window's own completion instead
};

// Fills out with the message for the end code and says how to show it.
EndReaction standardEndReaction(std::uint32_t endCode, Family family, const std::uint8_t* answerByte4,
                                const char* const* texts, char* out, std::size_t size);

// The feature windows that open a link.
enum class Feature { configuration, counters, protocolRead, monitor };

const char* titlePrefix(Feature feature, Family family, const char* const* texts);
// nullptr for the protocol-read windows, which close instead.
const char* baseTitle(Feature feature, const char* const* texts);
// Caption of the "DLL cannot be loaded" box of the common-controls check.
const char* commonControlsCaption(Feature feature, Family family, const char* const* texts);

// Window title: prefix followed directly by the product string.
void connectedTitle(char* out, std::size_t size, Feature feature, Family family, const char* product,
                    const char* const* texts);
