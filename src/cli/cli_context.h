#pragma once
// What every command of kavix-cli gets: where it prints, how it reaches the
// unit, and the options all commands share.
#include <atomic>
#include <optional>
#include <ostream>
#include <string>

#include "app/family.h"

// Exit codes, one per kind of failure, so that a script can branch on them.
// Unscoped: they are the process's exit status, an int.
enum ExitCode : int {
    exitOk = 0,
    exitFailure = 1,           // anything not listed below (a thread that would not start)
    exitUsage = 2,             // bad command line
    exitNoUnit = 3,            // no unit found, or its product string could not be read
    exitWrongUnit = 4,         // a unit or file of another family, kind or firmware
    exitCheckFailed = 5,       // the parameter check failed: nothing was sent or written
    exitCommunicationLost = 6, // the unit stopped answering
    exitDeviceGone = 7,        // the unit was unplugged or its device failed
    exitFileError = 8,         // a file could not be read, written or was not valid
    exitUnitRefused = 9,       // the unit did not take the configuration
    exitVerifyFailed = 10,     // programmed, but the block read back differs
    exitSavedNotValid = 11,    // config read: saved byte for byte, but the configuration is not valid
    exitInterrupted = 130,     // Ctrl-C during a transfer
};

struct CliContext {
    CliContext(std::ostream& results, std::ostream& messages) : out(results), err(messages) {}

    std::ostream& out;             // results: tables, JSON
    std::ostream& err;             // messages and progress
    std::string endpoint;          // host:port of a unit on the TCP wire; empty for USB
    std::optional<Family> family;  // the family the user expects; otherwise the unit says
    bool json = false;
    bool progress = false;         // draw a progress bar on err (a terminal)
    int stallMs = 5000;            // a transfer without progress this long has lost the unit
    const std::atomic<bool>* interrupted = nullptr;
};
