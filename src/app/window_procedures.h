#pragma once
// Windows only: what the program consists of beyond the shell. The feature
// windows and the device link register here as they are linked in.
#include "app/shell.h"

// The window procedures of the feature classes.
const WindowProcTable& programWindowProcedures();

// Link hooks and the protocol-save command.
void installProgramParts();
