#include "app/window_procedures.h"

#include "protocol/protocol_display_window.h"
#include "protocol/protocol_save_command.h"

namespace {

// Indexed like windowClassTable: 0 main, 1 selection (the shell's own),
// then Configuration_CU0/1, RunCounter_CU0/1, Upload_CU0/1,
// ProtDisplay_CU0/1, Monitor_CU0/1.
const WindowProcTable table = {{
    nullptr, nullptr,
    nullptr, nullptr,
    nullptr, nullptr,
    nullptr, nullptr,
    protocolDisplayProcK, protocolDisplayProcM,
    nullptr, nullptr,
}};

} // namespace

const WindowProcTable& programWindowProcedures()
{
    return table;
}

void installProgramParts()
{
    protocolSaveCommand = saveProtocolCommand;
}
