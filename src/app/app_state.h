#pragma once
#include <cstddef>
#include <cstdint>

#include "app/family.h"

// The program's global state: one byte-packed, little-endian block that is
// also the content of the settings file. Handles are kept as 32-bit values
// (window handles are 32-bit significant on 64-bit Windows too).
#pragma pack(push, 1)
struct AppState {
    std::int32_t mainWindow;
    std::int32_t reserved4;
    std::int32_t clientWidth;
    std::int32_t clientHeight;
    std::int32_t screenWidth;
    std::int32_t screenHeight;
    std::int32_t reserved24;
    std::int32_t linkOpen;
    std::int32_t charWidth;          // layout unit: system fixed font
    std::int32_t lineHeight;
    std::int32_t featureWindow;      // the main window's current child
    std::uint8_t reserved44[20];
    std::int32_t featureOpen;
    std::uint8_t reserved68[20];
    std::int32_t protocolAvailable;
    std::int32_t protocolCount;
    std::uint8_t protocolAnswerByte; // kept by the M-Series protocol read, never read back
    std::int32_t textCharWidth;      // text font of the current child window
    std::int32_t textLineHeight;
    std::uint8_t configEditState[3];
    std::int32_t language;           // 0 German, anything else English
    std::int32_t family;             // 0 K-Series, 1 M-Series
    std::int32_t runTicks[6];        // free-running 100 ms ticks
    std::int32_t restartTicks[6];    // 100 ms ticks, saturating at 0xFFFF
    std::int32_t sequenceActive;
    std::int32_t stepTicks;
    std::int32_t sequenceCompressor;
    std::int32_t autoDisplay;
    std::int32_t configFilling;      // 1 while a configuration window fills its controls
};
#pragma pack(pop)

static_assert(sizeof(AppState) == 184);
static_assert(offsetof(AppState, mainWindow) == 0);
static_assert(offsetof(AppState, reserved4) == 4);
static_assert(offsetof(AppState, clientWidth) == 8);
static_assert(offsetof(AppState, clientHeight) == 12);
static_assert(offsetof(AppState, screenWidth) == 16);
static_assert(offsetof(AppState, screenHeight) == 20);
static_assert(offsetof(AppState, reserved24) == 24);
static_assert(offsetof(AppState, linkOpen) == 28);
static_assert(offsetof(AppState, charWidth) == 32);
static_assert(offsetof(AppState, lineHeight) == 36);
static_assert(offsetof(AppState, featureWindow) == 40);
static_assert(offsetof(AppState, reserved44) == 44);
static_assert(offsetof(AppState, featureOpen) == 64);
static_assert(offsetof(AppState, reserved68) == 68);
static_assert(offsetof(AppState, protocolAvailable) == 88);
static_assert(offsetof(AppState, protocolCount) == 92);
static_assert(offsetof(AppState, protocolAnswerByte) == 96);
static_assert(offsetof(AppState, textCharWidth) == 97);
static_assert(offsetof(AppState, textLineHeight) == 101);
static_assert(offsetof(AppState, configEditState) == 105);
static_assert(offsetof(AppState, language) == 108);
static_assert(offsetof(AppState, family) == 112);
static_assert(offsetof(AppState, runTicks) == 116);
static_assert(offsetof(AppState, restartTicks) == 140);
static_assert(offsetof(AppState, sequenceActive) == 164);
static_assert(offsetof(AppState, stepTicks) == 168);
static_assert(offsetof(AppState, sequenceCompressor) == 172);
static_assert(offsetof(AppState, autoDisplay) == 176);
static_assert(offsetof(AppState, configFilling) == 180);

// The one instance, owned by the user-interface thread.
extern AppState appState;

// The family chosen in the selection window.
inline Family chosenFamily() { return familyFromState(appState.family); }
