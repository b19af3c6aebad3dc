#include "test_desktop.h"

int screenDpi()
{
    HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return dpi;
}

int taskbarHeight(int dpi) { return 48 * dpi / 96; }

bool useDesktop(int width, int height)
{
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    if (ChangeDisplaySettingsExA(nullptr, &mode, nullptr, 0, nullptr) != DISP_CHANGE_SUCCESSFUL)
        return false;
    RECT work = {0, 0, width, height - taskbarHeight(screenDpi())};
    return SystemParametersInfoA(SPI_SETWORKAREA, 0, &work, 0) != FALSE;
}
