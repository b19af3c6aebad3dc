#include "protocol_window_fixture.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "app/ui_seams.h"
#include "app/window_table.h"
#include "protocol/entry_bytes.h"
#include "protocol/protocol_display_window.h"
#include "protocol/protocol_save_command.h"

namespace {

int classIndex(const char* name)
{
    for (int i = 0; i < windowClassCount; ++i)
        if (std::strcmp(windowClassTable[i].name, name) == 0)
            return i;
    return -1;
}

// Classes stay registered within the test process, with the procedure of
// the first start.
void unregisterFeatureClasses()
{
    for (int i = 2; i < windowClassCount; ++i)
        UnregisterClassA(windowClassTable[i].name, GetModuleHandleA(nullptr));
}

void placeProtocol(const std::vector<unsigned char>& bytes, std::int32_t count)
{
    std::memcpy(protocolBuffer, bytes.data(), bytes.size());
    appState.protocolCount = count;
    appState.protocolAvailable = 1;
}

} // namespace

void ProtocolWindowTest::TearDown()
{
    ShellTest::TearDown();
    protocolSaveCommand = nullptr;
    setFileDialogHook(nullptr);
    unregisterFeatureClasses();
}

void ProtocolWindowTest::startAs(int languageId, int familyId)
{
    unregisterFeatureClasses();
    WindowProcTable features = {};
    features.procedure[classIndex("ProtDisplay_CU0")] = protocolDisplayProcK;
    features.procedure[classIndex("ProtDisplay_CU1")] = protocolDisplayProcM;
    ASSERT_NE(start(features), nullptr);
    protocolSaveCommand = saveProtocolCommand;
    confirmSelection(languageId, familyId);
}

void ProtocolWindowTest::loadProtocolK(std::int32_t count)
{
    std::vector<unsigned char> bytes(24 * static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        const auto n = static_cast<std::uint32_t>(i);
        putEntryK(bytes, n, {static_cast<std::uint16_t>(1u << (n % 8)), static_cast<std::uint16_t>(n % 70),
                             1800 * n + 3600, 360 * n, 3599 + 7 * n, 1000 + n, 5000 + n});
    }
    placeProtocol(bytes, count);
}

void ProtocolWindowTest::loadProtocolM(std::int32_t count)
{
    std::vector<unsigned char> bytes(68 * static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        const auto n = static_cast<std::uint32_t>(i);
        RawEntryM e = {static_cast<std::uint16_t>(n % 18), static_cast<std::uint16_t>(n % 9),
                       5400 * n, 720 * n, 360 * n, {}, {}, 9000 + n};
        for (std::uint32_t c = 0; c < 6; ++c) {
            e.starts[c] = 100 * (c + 1) + n;
            e.runs[c] = 3600 * (c + 1) + 36 * n;
        }
        putEntryM(bytes, n, e);
    }
    placeProtocol(bytes, count);
}

HWND ProtocolWindowTest::openDisplay()
{
    menuCommand(commandProtocolDisplay);
    HWND display = childOfClass(main(), appState.family == 1 ? "ProtDisplay_CU1" : "ProtDisplay_CU0");
    if (display)
        UpdateWindow(display);
    return display;
}

void ProtocolWindowTest::closeDisplay(HWND display)
{
    PostMessageA(display, WM_CLOSE, 0, 0);
    pumpUntil([display] { return !IsWindow(display); });
}

void ProtocolWindowTest::screenshot(const char* name)
{
    const char* folder = std::getenv("KAVIX_PROTOCOL_SHOTS");
    if (!folder)
        return;
    RedrawWindow(main(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    pumpFor(300);
    captureWindow(main(), (std::string(folder) + "/" + name + ".bmp").c_str());
}

HWND displayBar(HWND display, bool vertical)
{
    for (HWND bar = FindWindowExA(display, nullptr, "ScrollBar", nullptr); bar;
         bar = FindWindowExA(display, bar, "ScrollBar", nullptr))
        if (((GetWindowLongA(bar, GWL_STYLE) & SBS_VERT) != 0) == vertical)
            return bar;
    return nullptr;
}

BarState barState(HWND bar)
{
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_POS;
    GetScrollInfo(bar, SB_CTL, &info);
    return {info.nMin, info.nMax, info.nPos};
}

RECT placeInParent(HWND child)
{
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void sendScroll(HWND display, HWND bar, int request)
{
    const bool vertical = (GetWindowLongA(bar, GWL_STYLE) & SBS_VERT) != 0;
    SendMessageA(display, vertical ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(request, 0),
                 reinterpret_cast<LPARAM>(bar));
}

void dragThumb(HWND bar, bool toEnd)
{
    SCROLLBARINFO info = {};
    info.cbSize = sizeof info;
    GetScrollBarInfo(bar, OBJID_CLIENT, &info);
    const bool vertical = (GetWindowLongA(bar, GWL_STYLE) & SBS_VERT) != 0;
    const int length = vertical ? info.rcScrollBar.bottom - info.rcScrollBar.top
                                : info.rcScrollBar.right - info.rcScrollBar.left;
    const int across = (vertical ? info.rcScrollBar.right - info.rcScrollBar.left
                                 : info.rcScrollBar.bottom - info.rcScrollBar.top) / 2;
    const int grab = (info.xyThumbTop + info.xyThumbBottom) / 2;
    const int target = toEnd ? length - 1 : 0;
    auto at = [&](int along) { return vertical ? MAKELPARAM(across, along) : MAKELPARAM(along, across); };
    // The bar's tracking loop takes the move and the release from the queue.
    PostMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, at(target));
    PostMessageA(bar, WM_LBUTTONUP, 0, at(target));
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, at(grab));
    pumpFor(20);
}

int nonWhitePixels(HWND window, const RECT& area)
{
    UpdateWindow(window);
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return 0;
    HDC dc = GetDC(window);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, dc, area.left, area.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = -height;
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, dc);
    int n = 0;
    for (std::uint32_t p : pixels)
        n += (p & 0xFFFFFF) != 0xFFFFFF;
    return n;
}

COLORREF pixelAt(HWND window, int x, int y)
{
    UpdateWindow(window);
    HDC dc = GetDC(window);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}
