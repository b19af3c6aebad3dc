#pragma once
// Windows only: what the K-Series and the M-Series configuration windows
// share. Each family describes its form, layout, check, file and link
// identity in a ConfigFamily; one window procedure serves both.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "config/config_file.h"
#include "config/config_form.h"

// Where a row's controls sit, in cells. A width of 0 means the row has no
// such control.
struct RowPlace {
    int y;
    int labelX;
    int labelWidth;
    int valueX;
    int valueWidth;
    int defaultX;
    int defaultWidth;
    int unitX;
};

// A group box, in half cells, with its title's text number.
struct BoxPlace {
    int titleText;
    int x2;
    int y2;
    int width2;
    int height2;
};

struct ConfigLayout {
    const RowPlace* rows;
    const BoxPlace* boxes;
    int boxCount;
    int buttonX2;                  // half cells
    int buttonY[6];                // cells: Read, Load file, Save file, Defaults, Program, Close
    int legendX2;                  // half cells
    int legendY;
    int legendWidth;
};

// What happens while the link is open, so the end can be told apart.
enum class ConfigTransfer { none, read, program };

// The window's own state besides its form; one per family.
struct ConfigWindowState {
    char product[65];              // the unit's product string, for the title
    ConfigTransfer transfer;
    unsigned char programBlock[configImageCapacity];  // what the write engine sends
};

// What makes a configuration window the K-Series' or the M-Series': its
// layout, form, file format, request and state.
struct ConfigWindowSetup {
    const ConfigLayout* layout;
    ConfigForm* form;
    const ConfigFileFormat* file;
    char* fileName;                // this family's dialog buffers, 264 bytes each
    char* fileTitle;

    ConfigWindowState* state;
};

inline constexpr std::size_t configDialogBufferSize = 264;

// The window procedure of a configuration window of the family.
LRESULT configWindowProc(const ConfigWindowSetup& setup, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
