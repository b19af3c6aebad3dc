#include "app/screen_scale.h"

#include <algorithm>
#include <cstring>

#include "app/app_state.h"
#include "app/shell.h"

namespace {

ScreenScale scale = {96, 96, {8, 16}, {8, 16}, {8, 16}, false};
HFONT scaledControlFont = nullptr;
HFONT retiredControlFont = nullptr;   // until every control has the new one

int systemDpiNow()
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

TEXTMETRICA metricsOf(HFONT font)
{
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(screen, &metrics);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    return metrics;
}

LOGFONTA stockFont(int object)
{
    LOGFONTA font = {};
    GetObjectA(GetStockObject(object), sizeof font, &font);
    return font;
}

// A stock font's description at another dpi than the system's.
LOGFONTA stockFontAt(int object, int dpi)
{
    LOGFONTA font = stockFont(object);
    font.lfHeight = MulDiv(font.lfHeight, dpi, scale.systemDpi);
    font.lfWidth = MulDiv(font.lfWidth, dpi, scale.systemDpi);
    return font;
}

// The system fixed font at a dpi; the stock object itself at the system's.
LayoutUnit fixedFontUnit(int dpi)
{
    if (dpi == scale.systemDpi)
        return scale.system;
    const LOGFONTA description = stockFontAt(SYSTEM_FIXED_FONT, dpi);
    HFONT font = CreateFontIndirectA(&description);
    const TEXTMETRICA m = metricsOf(font);
    DeleteObject(font);
    return {m.tmAveCharWidth, m.tmHeight + m.tmExternalLeading};
}

int stockControlFontHeight() { return metricsOf(static_cast<HFONT>(GetStockObject(SYSTEM_FONT))).tmHeight; }

// The controls keep the system font where it is made for this scaling and
// unit and no taller than a line (at 192 dpi Wine's is a pixel taller).
bool atStockSize()
{
    return scale.dpi == scale.systemDpi && scale.unit == scale.system &&
           stockControlFontHeight() <= scale.unit.lineHeight;
}

// The system font shrunk with the unit. Hinting can round a small font up
// by a pixel; the font is made smaller until its cell is no taller than the
// unit allows and no taller than a line, so texts stay inside controls
// sized in lines.
HFONT makeControlFont()
{
    LOGFONTA description = stockFontAt(SYSTEM_FONT, scale.dpi);
    const int normalHeight = stockControlFontHeight() * scale.dpi / scale.systemDpi;
    const int allowed =
        std::min(normalHeight * scale.unit.lineHeight / scale.normal.lineHeight, scale.unit.lineHeight);
    description.lfHeight = scaledFontHeight(description.lfHeight, scale.unit, scale.normal);
    description.lfWidth = scaledFontWidth(description.lfWidth, scale.unit, scale.normal);
    for (int attempt = 0; attempt < 4; ++attempt) {
        HFONT font = CreateFontIndirectA(&description);
        if (!font || metricsOf(font).tmHeight <= allowed || description.lfHeight <= 1)
            return font;
        DeleteObject(font);
        description.lfHeight -= description.lfHeight > 0 ? 1 : -1;
    }
    return CreateFontIndirectA(&description);
}

MonitorArea areaOf(HMONITOR monitor)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!monitor || !GetMonitorInfoA(monitor, &info)) {
        const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
        return {{0, 0, w, h}, {0, 0, w, h}};
    }
    RECT work = info.rcWork;
    // The primary monitor's work area is also what SPI_GETWORKAREA gives;
    // Wine keeps the taskbar only there.
    if (info.dwFlags & MONITORINFOF_PRIMARY)
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const RECT& m = info.rcMonitor;
    return {{m.left, m.top, m.right - m.left, m.bottom - m.top},
            {work.left, work.top, work.right - work.left, work.bottom - work.top}};
}

} // namespace

const ScreenScale& screenScale() { return scale; }

int windowDpi(HWND window)
{
    // Windows 10 1607 and later; older systems scale every monitor alike.
    using GetDpiForWindowProc = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowProc>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow && window) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi > 0)
            return static_cast<int>(dpi);
    }
    return systemDpiNow();
}

SIZE windowFrame(DWORD style, DWORD exStyle, bool menu, int dpi)
{
    // Windows 10 1607 and later know the frames of other monitors' scaling.
    using AdjustForDpiProc = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = reinterpret_cast<AdjustForDpiProc>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "AdjustWindowRectExForDpi")));
    RECT r = {0, 0, 0, 0};
    if (!adjustForDpi || !adjustForDpi(&r, style, menu ? TRUE : FALSE, exStyle, static_cast<UINT>(dpi)))
        AdjustWindowRectEx(&r, style, menu ? TRUE : FALSE, exStyle);
    return {r.right - r.left, r.bottom - r.top};
}

MonitorArea monitorAreaOf(HWND window) { return areaOf(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)); }

MonitorArea monitorAreaAt(const RECT& rect) { return areaOf(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST)); }

void measureSystemUnit(HDC dc)
{
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    scale.systemDpi = systemDpiNow();
    scale.dpi = scale.systemDpi;
    scale.system = {metrics.tmAveCharWidth, metrics.tmHeight + metrics.tmExternalLeading};
    scale.normal = scale.system;
    scale.unit = scale.system;
    scale.scrolls = false;
}

ScreenFit chooseScreenScale(int dpi, CellSize cells, FrameSize frame, PixelRect work)
{
    scale.dpi = dpi;
    scale.normal = fixedFontUnit(dpi);
    const ScreenFit fit = fitLayoutUnit(scale.normal, cells, frame, work.width, work.height);
    scale.unit = fit.unit;
    scale.scrolls = fit.scrolls;
    appState.charWidth = fit.unit.charWidth;
    appState.lineHeight = fit.unit.lineHeight;

    releaseOldControlFont();
    retiredControlFont = scaledControlFont;
    scaledControlFont = atStockSize() ? nullptr : makeControlFont();
    return fit;
}

void releaseOldControlFont()
{
    if (retiredControlFont)
        DeleteObject(retiredControlFont);
    retiredControlFont = nullptr;
}

HFONT controlFont() { return scaledControlFont; }

void applyControlFont(HWND window)
{
    EnumChildWindows(
        window,
        [](HWND control, LPARAM) -> BOOL {
            SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(scaledControlFont), TRUE);
            return TRUE;
        },
        0);
}

HFONT createScaledFont(const char* face, int heightAt96, int weight)
{
    LOGFONTA description = {};
    description.lfHeight = -scaledPixels(heightAt96, scale.dpi, scale.unit, scale.normal);
    description.lfWeight = weight;
    std::strncpy(description.lfFaceName, face, sizeof description.lfFaceName - 1);
    return CreateFontIndirectA(&description);
}

int scaledLength(int pixelsAt96) { return scaledPixels(pixelsAt96, scale.dpi, scale.unit, scale.normal); }

void drawBitmap(HDC dc, const char* name, int x, int y, int widthAt96, int heightAt96, DWORD rop)
{
    HBITMAP bitmap = LoadBitmapA(appInstance, name);
    if (!bitmap)
        return;
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, bitmap);
    const int width = scaledLength(widthAt96), height = scaledLength(heightAt96);
    if (width == widthAt96 && height == heightAt96) {
        BitBlt(dc, x, y, width, height, memory, 0, 0, rop);
    } else {
        const int oldMode = SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, x, y, width, height, memory, 0, 0, widthAt96, heightAt96, rop);
        SetStretchBltMode(dc, oldMode);
    }
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
}
