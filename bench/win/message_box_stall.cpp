// How long a window thread stands still after a message box closes: a
// message box is shown and answered by a timer, then the time until
// MessageBoxA returns and until the next posted message arrives is printed.
// Run under Wine on the display to examine (scripts/run's virtual one, a
// bare X server): kavix_message_box_stall.exe [ROUNDS]
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

LARGE_INTEGER frequency;
LARGE_INTEGER answered;

double msSince(const LARGE_INTEGER& start)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void CALLBACK answerBox(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND box = FindWindowA(nullptr, "stall probe");
    if (!box)
        return;
    KillTimer(nullptr, timer);
    QueryPerformanceCounter(&answered);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 5;
    QueryPerformanceFrequency(&frequency);
    HWND window = CreateWindowExA(0, "STATIC", "stall probe owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300,
                                  200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    for (int round = 0; round < rounds; ++round) {
        SetTimer(nullptr, 0, 300, answerBox);
        MessageBoxA(window, "Closes by itself.", "stall probe", MB_OK | MB_ICONINFORMATION);
        const double returned = msSince(answered);
        PostMessageA(window, WM_APP, 0, 0);
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0) > 0 && message.message != WM_APP)
            DispatchMessageA(&message);
        std::printf("round %d: MessageBoxA returned %.0f ms after the answer, the next message came %.0f ms after it\n",
                    round + 1, returned, msSince(answered));
    }
    DestroyWindow(window);
    return 0;
}
