// The release test's hands on a training session started from the Start
// menu: it finds the installed kavix.exe's window, confirms English and the
// family in the selection window, opens the monitor, waits until the unit
// answers, prints the monitor's title, closes the tool and waits until
// both kavix.exe and the simulator that started it have ended.
//
// Usage: kavix_training_probe K|M
// Exit code 0 when all of that happened within its time limits.
#include <windows.h>

#include <tlhelp32.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

namespace {

// The program's own control and command ids (resources and selection window).
constexpr int selectionEnglish = 1;
constexpr int selectionK = 2;
constexpr int selectionM = 3;
constexpr int selectionOk = 4;
constexpr int commandMonitor = 30;

bool waitFor(const std::function<bool()>& done, int seconds)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

std::string textOf(HWND window)
{
    char text[512] = {};
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                        nullptr);
    return text;
}

std::string imageName(DWORD processId)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process)
        return "";
    char path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    const bool named = QueryFullProcessImageNameA(process, 0, path, &size) != 0;
    CloseHandle(process);
    const char* slash = std::strrchr(path, '\\');
    return named ? (slash ? slash + 1 : path) : "";
}

// kavix.exe's main window (class "Kavix"), or nullptr.
HWND toolWindow()
{
    struct Search {
        HWND found = nullptr;
    } search;
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            char name[64] = {};
            GetClassNameA(window, name, sizeof name);
            DWORD processId = 0;
            GetWindowThreadProcessId(window, &processId);
            if (std::strcmp(name, "Kavix") != 0 || _stricmp(imageName(processId).c_str(), "kavix.exe") != 0)
                return TRUE;
            reinterpret_cast<Search*>(data)->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool running(const char* image)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return true;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    bool seen = false;
    for (BOOL more = Process32First(snapshot, &entry); more && !seen; more = Process32Next(snapshot, &entry))
        seen = _stricmp(entry.szExeFile, image) == 0;
    CloseHandle(snapshot);
    return seen;
}

void click(HWND parent, int id)
{
    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(parent, id)));
}

int fail(const char* what)
{
    std::fprintf(stderr, "training probe: %s\n", what);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2 || (argv[1][0] != 'K' && argv[1][0] != 'M'))
        return fail("usage: kavix_training_probe K|M");
    const bool mSeries = argv[1][0] == 'M';

    HWND main = nullptr;
    HWND selection = nullptr;
    if (!waitFor([&] { return (main = toolWindow()) && (selection = FindWindowExA(main, nullptr, "Select_CUx", nullptr)); },
                 60))
        return fail("kavix.exe's selection window did not appear");
    click(selection, selectionEnglish);
    click(selection, mSeries ? selectionM : selectionK);
    click(selection, selectionOk);
    if (!waitFor([&] { return !IsWindow(selection); }, 10))
        return fail("the selection was not confirmed");

    PostMessageA(main, WM_COMMAND, commandMonitor, 0);
    const char* monitorClass = mSeries ? "Monitor_CU1" : "Monitor_CU0";
    HWND monitor = nullptr;
    std::string title;
    // Connected, and the first answer has replaced the firmware placeholder.
    if (!waitFor(
            [&] {
                monitor = FindWindowExA(main, nullptr, monitorClass, nullptr);
                title = monitor ? textOf(monitor) : "";
                return title.find("Connect to: ") != std::string::npos && title.find("?.?") == std::string::npos;
            },
            30))
        return fail(("the monitor did not connect; its title: " + title).c_str());
    std::printf("monitor title: %s\n", title.c_str());
    std::fflush(stdout);

    PostMessageA(main, WM_CLOSE, 0, 0);
    if (!waitFor([] { return !running("kavix.exe"); }, 20))
        return fail("kavix.exe did not end");
    if (!waitFor([] { return !running("kavix-unitsim.exe"); }, 20))
        return fail("the simulator did not end with the tool");
    std::printf("tool and simulator ended\n");
    return 0;
}
