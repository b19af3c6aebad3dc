#include "app/window_procedures.h"

#include "config/config_windows.h"
#include "link/link_control.h"
#include "app/feature_link.h"
#include "monitor/monitor_windows.h"
#include "protocol/protocol_display_window.h"
#include "protocol/protocol_read_window.h"
#include "protocol/run_counter_window.h"
#include "protocol/protocol_save_command.h"

namespace {

// Indexed like windowClassTable: 0 main, 1 selection (the shell's own),
// then Configuration_CU0/1, RunCounter_CU0/1, Upload_CU0/1,
// ProtDisplay_CU0/1, Monitor_CU0/1.
const WindowProcTable table = {{
    nullptr, nullptr,
    configurationProcK, configurationProcM,
    runCounterProcK, runCounterProcM,
    protocolReadProcK, protocolReadProcM,
    protocolDisplayProcK, protocolDisplayProcM,
    monitorProcK, monitorProcM,
}};

} // namespace

const WindowProcTable& programWindowProcedures()
{
    return table;
}

namespace {

bool startLinkParts()
{
    prepareProgramLink();
    return true;
}

} // namespace

void installProgramParts()
{
    linkHooks.createEvents = startLinkParts;
    linkHooks.closeEvents = nullptr; // the link's events live as long as the process
    linkHooks.stopLink = stopLink;
    protocolSaveCommand = saveProtocolCommand;
}
