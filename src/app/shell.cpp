#include "app/shell.h"

#include <cstring>

HINSTANCE appInstance = nullptr;
unsigned char* dataBuffer = nullptr;
unsigned char* protocolBuffer = nullptr;
OPENFILENAMEA fileDialog;

namespace {

// Filter pairs, each zero-terminated, then the empty terminating string.
const char fileFilter[] =
    "Flash Files (*.hex)\0*.hex\0"
    "Conf Files (*.cbf)\0*.cbf\0"
    "Protokoll Files (*.csv)\0*.csv\0";

unsigned char* allocateWorkBuffer()
{
    // Committed and zero-filled by the system.
    return static_cast<unsigned char*>(VirtualAlloc(nullptr, workBufferSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
}

} // namespace

void fillFileDialog(HWND owner)
{
    std::memset(&fileDialog, 0, sizeof fileDialog);
    fileDialog.lStructSize = sizeof fileDialog;
    fileDialog.hwndOwner = owner;
    fileDialog.lpstrFilter = fileFilter;
    fileDialog.nMaxFile = 260;
    fileDialog.nMaxFileTitle = 259;
    fileDialog.lpstrDefExt = "cbf";
}

bool allocateWorkBuffers()
{
    dataBuffer = allocateWorkBuffer();
    protocolBuffer = dataBuffer ? allocateWorkBuffer() : nullptr;
    if (dataBuffer && protocolBuffer)
        return true;
    releaseWorkBuffers();
    return false;
}

void releaseWorkBuffers()
{
    if (dataBuffer)
        VirtualFree(dataBuffer, 0, MEM_RELEASE);
    if (protocolBuffer)
        VirtualFree(protocolBuffer, 0, MEM_RELEASE);
    dataBuffer = nullptr;
    protocolBuffer = nullptr;
}
