#include "app/window_procedures.h"

#include "app/shell.h"
#include "app/texts.h"
#include "app/ui_seams.h"
#include "app/window_table.h"
#include "protocol/protocol_csv.h"
#include "protocol/protocol_entries.h"
#include "base/replacing_file.h"

namespace {

// The protocol save's own dialog buffers, kept for the whole run.
char protocolFileName[264];
char protocolFileTitle[264];

constexpr DWORD protocolFilterIndex = 3;   // "Protokoll Files (*.csv)"
constexpr DWORD saveFlags = OFN_CREATEPROMPT | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
static_assert(saveFlags == 0x2006);

} // namespace

void saveProtocolCommand(HWND main)
{
    fileDialog.lpstrFile = protocolFileName;
    fileDialog.lpstrFileTitle = protocolFileTitle;
    fileDialog.nFilterIndex = protocolFilterIndex;
    fileDialog.Flags = saveFlags;
    // A name typed without extension becomes a .csv file, not the shared
    // record's "cbf"; the configuration dialogs get theirs back afterwards.
    const char* sharedExtension = fileDialog.lpstrDefExt;
    fileDialog.lpstrDefExt = "csv";
    const BOOL chosen = uiGetSaveFileName(&fileDialog);
    fileDialog.lpstrDefExt = sharedExtension;
    if (!chosen)
        return;

    const Family family = chosenFamily();
    const ProtocolData protocol = {protocolBuffer, protocolBuffer ? workBufferSize : 0,
                                   appState.protocolCount};
    const bool saved = writeProtocolCsv(family, pathFromAnsi(protocolFileName), protocol, uiText);
    uiMessageBox(main, text(saved ? textProtocolSaved : textSaveFailed), familyName(family),
                 MB_OK | (saved ? MB_ICONINFORMATION : MB_ICONERROR));
}
