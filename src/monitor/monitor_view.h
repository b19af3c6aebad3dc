#pragma once
#include <string>

// What a monitor window shows, as plain data. The model writes it and flags
// every control it touched; the window mirrors the flagged controls onto the
// real ones and then clears the flags (clearViewChanges). Controls are kept
// by their control id; the few controls without an id have their own members.
inline constexpr int monitorControlCount = 84;   // ids 0 to 83

// Control ids shared by both monitors.
inline constexpr int idStart = 80;
inline constexpr int idStop = 81;
inline constexpr int idClose = 82;
inline constexpr int idManualToggle = 83;

struct MonitorControl {
    bool enabled = true;
    bool marked = false;   // indicators: the window sets and clears the mark
    int position = 0;      // scroll bars
    char text[16] = {};    // value fields and the manual toggle button
    bool changed = false;  // touched since the window last mirrored the view
};

struct MonitorView {
    MonitorControl controls[monitorControlCount];
    const char* unitLabel[2] = {};   // temperature rows 0 and 1: °C or °F
    bool unitLabelsChanged = false;
    int progress = 0;                // progress bar, 0 to 31
    bool progressChanged = false;
    std::string title;
    bool titleChanged = false;
    // At most one message box per event; shown with the error icon.
    bool messagePending = false;
    std::string message;
    const char* caption = "";
};

// Each setter flags the control only when its state really changes, except
// setText: a field is rewritten every time, so anything typed into it goes.
void setEnabled(MonitorView& view, int id, bool enabled);
void setMarked(MonitorView& view, int id, bool marked);
void setPosition(MonitorView& view, int id, int position);
void setText(MonitorView& view, int id, const char* text);
void setUnitLabels(MonitorView& view, const char* label);
void setProgress(MonitorView& view, int position);
void setTitle(MonitorView& view, const std::string& title);
void showMessage(MonitorView& view, const std::string& text, const char* caption);

// Hands the pending message over and clears it. Take it before showing the
// box: the box runs its own message loop, so answers keep arriving meanwhile.
bool takeMessage(MonitorView& view, std::string& text, const char*& caption);

// Marks everything as changed (a freshly built window takes the whole view).
void markViewChanged(MonitorView& view);
void clearViewChanges(MonitorView& view);
