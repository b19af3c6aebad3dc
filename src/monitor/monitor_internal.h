#pragma once
// Shared inside the monitor library only.
#include <cstdint>

#include "monitor/monitor_model.h"

// What distinguishes the two families' manual control and controls.
struct FamilyRules {
    int outputCount;        // output indicators 0 .. outputCount-1, same as command bits
    int compressorCount;
    int compressorBit0;     // output bit (and indicator id) of compressor 1
    int valveBit;           // reversing valve
    int blowerCount;
    int blowerScrollId0;
    int blowerFieldId0;
    int payloadLength;
    const char* commonControlsCaption;
};

const FamilyRules& rulesOf(Family family);

void setOutputCommand(MonitorModel& model, std::uint32_t outputs);
void setBlowerCommand(MonitorModel& model, int blower, std::uint8_t percent);
void setManualFlag(MonitorModel& model, bool on);
// Copies the command record into the payload that the next request carries
// and prepares the release poll beside it.
void preparePayload(MonitorModel& model);
// Whether model.payload has the manual flag set.
bool payloadCarriesManual(const MonitorModel& model);

void setOutputsEnabled(MonitorModel& model, bool enabled);
// Toggle button caption, rewritten only when it really changes.
void setToggleText(MonitorView& view, const char* text);
// Manual control off with its controls: flag cleared, toggle "On", output
// indicators disabled.
void switchManualOff(MonitorModel& model);

// The parts of handling an answer: a manually started compressor held to
// its run limit, the status shown, one step of the start sequence.
void applyRunLimit(MonitorModel& model, const AppState& app);
void displayStatus(MonitorModel& model);
void runSequenceStep(MonitorModel& model, AppState& app);

// The window title while connected, with the firmware text or "?.?".
void setConnectedTitle(MonitorModel& model, const char* firmware);
