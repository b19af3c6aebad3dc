#include "gui_harness.h"

#include "app/layout.h"
#include "app/ui_seams.h"

namespace {

std::vector<RecordedMessageBox> messageBoxes;

int recordMessageBox(HWND, const char* text, const char* caption, UINT type)
{
    messageBoxes.push_back({text ? text : "", caption ? caption : "", type});
    return IDOK;
}

// Set when a pump sees the quit message.
bool quitSeen = false;

} // namespace

std::vector<RecordedMessageBox>& recordedMessageBoxes() { return messageBoxes; }

bool pumpUntil(const std::function<bool()>& condition, int timeoutMs)
{
    const DWORD end = GetTickCount() + static_cast<DWORD>(timeoutMs);
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quitSeen = true;
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (condition())
            return true;
        const DWORD now = GetTickCount();
        if (static_cast<LONG>(end - now) <= 0)
            return condition();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now < 20 ? end - now : 20, QS_ALLINPUT);
    }
}

void pumpFor(int milliseconds)
{
    pumpUntil([] { return false; }, milliseconds);
}

std::string windowText(HWND window)
{
    char buffer[1024] = {};
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
}

HWND childOfClass(HWND parent, const char* className)
{
    return parent ? FindWindowExA(parent, nullptr, className, nullptr) : nullptr;
}

void ShellTest::SetUp()
{
    previousDir_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.path());
    messageBoxes.clear();
    setMessageBoxHook(recordMessageBox);
    quitSeen = false;
}

void ShellTest::TearDown()
{
    if (main_ && IsWindow(main_))
        closeMainWindow();
    if (main_)
        shutdownApplication();
    setMessageBoxHook(nullptr);
    std::filesystem::current_path(previousDir_);
}

HWND ShellTest::start(const WindowProcTable& features)
{
    main_ = startApplication(GetModuleHandleA(nullptr), SW_SHOWNOACTIVATE, features);
    // The selection window comes with the first posted message.
    pumpUntil([this] { return selection() != nullptr; });
    return main_;
}

bool ShellTest::closeMainWindow()
{
    PostMessageA(main_, WM_CLOSE, 0, 0);
    return pumpUntil([] { return quitSeen; });
}

void ShellTest::menuCommand(int id)
{
    PostMessageA(main_, WM_COMMAND, static_cast<WPARAM>(id), 0);
    pumpFor(50);
}

void ShellTest::click(HWND parent, int controlId)
{
    HWND control = GetDlgItem(parent, controlId);
    ASSERT_NE(control, nullptr) << "control " << controlId;
    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED), reinterpret_cast<LPARAM>(control));
    pumpFor(20);
}

bool ShellTest::menuItemGrey(int id) const
{
    const UINT state = GetMenuState(GetMenu(main_), static_cast<UINT>(id), MF_BYCOMMAND);
    return state != 0xFFFFFFFFu && (state & MF_GRAYED) != 0;
}

void ShellTest::confirmSelection(int languageId, int familyId)
{
    HWND window = selection();
    ASSERT_NE(window, nullptr);
    click(window, languageId);
    click(window, familyId);
    click(window, selectionIdOk);
    pumpUntil([this] { return selection() == nullptr; });
}
