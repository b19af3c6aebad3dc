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

} // namespace

std::vector<RecordedMessageBox>& recordedMessageBoxes() { return messageBoxes; }

std::string shownMessages(int waitMs)
{
    pumpUntil([] { return !messageBoxes.empty(); }, waitMs);
    pumpFor(100);   // a second box of the same event
    std::string shown;
    for (const RecordedMessageBox& box : messageBoxes)
        shown += (shown.empty() ? "" : " + ") + box.text + " [" + box.caption + "]";
    messageBoxes.clear();
    return shown;
}

void ShellTest::SetUp()
{
    previousDir_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.path());
    messageBoxes.clear();
    setMessageBoxHook(recordMessageBox);
    clearQuitMessageSeen();
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
    return pumpUntil([] { return quitMessageSeen(); });
}

void ShellTest::menuCommand(int id)
{
    PostMessageA(main_, WM_COMMAND, static_cast<WPARAM>(id), 0);
    pumpFor(50);
}

void ShellTest::click(HWND parent, int controlId)
{
    ASSERT_NE(GetDlgItem(parent, controlId), nullptr) << "control " << controlId;
    clickControl(parent, controlId);
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
