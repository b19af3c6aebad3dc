#pragma once
// Reaching the unit from a command: the link set-up, discovery, which family
// the unit is, and how a failed transfer becomes a message and an exit code.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/family.h"
#include "cli/cli_context.h"
#include "cli/unit_session.h"

struct UnitInfo {
    Family family = Family::k;
    std::uint8_t kind = 0;
    std::uint16_t firmware = 0;
    char product[productStringChars + 1] = {};
    // The first poll answer, from report byte 4 on: the unit's live state.
    std::uint8_t status[maxSnapshotBytes] = {};
    std::size_t statusLength = 0;
};

// One line on err: a text of the program (Windows-1252) for the terminal.
void printMessage(const CliContext& context, std::string_view text);

// Where the unit is looked for: "TCP host:port" or "USB".
std::string unitAddress(const CliContext& context);

// The read-only poll of a monitor: the family's command record with manual
// control off, so the unit goes on running by itself.
void setReadOnlyPoll(LinkRequest& request, Family family);

// Sets up the link, finds the unit and asks it, with one poll, which family
// it is (the one the user named with --family must match). exitOk, or the
// exit code of the failure, whose message has been printed.
int openUnit(const CliContext& context, UnitInfo& unit);

// The message and exit code of a transfer that did not end as the command
// wanted.
int transferFailed(const CliContext& context, Family family, const TransferResult& result);

// The limits of a command's transfers.
TransferLimits transferLimits(const CliContext& context);
