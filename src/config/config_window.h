#pragma once
// Windows only: what the K-Series and the M-Series configuration windows
// share. Each family describes its form, layout, check, file and link
// identity in a ConfigFamily; one window procedure serves both.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "config/config_file.h"
#include "config/form_row.h"
#include "link/link_control.h"
#include "link/unit_messages.h"

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

struct ConfigFamily {
    FeatureKind feature;
    const ConfigLayout* layout;
    int rowCount;
    const RowInfo& (*rowInfo)(int row);
    FormRow* rows;
    FormView* view;
    const unsigned char* (*block)();   // the working block's bytes
    std::size_t blockSize;

    // The form's operations on its working block and rows.
    void (*create)();
    void (*unitChanged)();
    void (*blowerTypeChanged)();
    void (*powerAtChanged)();
    void (*loadDefaults)();
    void (*takeBlock)(const unsigned char* bytes);
    void (*gatherAll)();
    // The check's message for the working block; empty when it passes.
    std::string (*checkFailure)();

    const ConfigFileFormat* file;
    char* fileName;                // this family's dialog buffers, 264 bytes each
    char* fileTitle;

    std::uint8_t dataVersion;      // request payload bytes 0 and 1
    std::uint8_t unitKind;
    int crcSelector;               // -1: the read leaves the request's selector as it is

    ConfigWindowState* state;
};

inline constexpr std::size_t configDialogBufferSize = 264;

// The window procedure of a configuration window of the family.
LRESULT configWindowProc(const ConfigFamily& family, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
