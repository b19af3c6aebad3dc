#include <winsock2.h>

#include "gui_harness.h"

#include <cstdio>
#include <cstdlib>

#include "app/program.h"
#include "app/ui_seams.h"
#include "link/device_backend.h"
#include "link/remote_unit.h"
#include "sim_data_sets.h"

namespace {

std::vector<RecordedMessageBox> messageBoxes;
std::vector<DialogRecord> dialogRecords;
std::string dialogAnswer;

int recordMessageBox(HWND, const char* text, const char* caption, UINT type)
{
    messageBoxes.push_back({text ? text : "", caption ? caption : "", type});
    return IDOK;
}

BOOL answerDialog(OPENFILENAMEA* dialog, bool save)
{
    dialogRecords.push_back({save, dialog->Flags, dialog->nFilterIndex, dialog->lpstrFile,
                             dialog->lpstrDefExt ? dialog->lpstrDefExt : "", dialog->nMaxFile});
    if (dialogAnswer.empty())
        return FALSE;
    std::snprintf(dialog->lpstrFile, dialog->nMaxFile, "%s", dialogAnswer.c_str());
    return TRUE;
}

void setUnitEndpoint(const std::string& endpoint)
{
    _putenv_s("KAVIX_UNIT", endpoint.c_str());
    // A program already started finds it too.
    setRemoteUnitEndpoint(endpoint.c_str());
}

} // namespace

void ProgramTest::SetUp()
{
    previousDir_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.path());
    messageBoxes.clear();
    dialogRecords.clear();
    dialogAnswer.clear();
    setMessageBoxHook(recordMessageBox);
    setFileDialogHook(answerDialog);
    clearQuitMessageSeen();

    // No unit: a loopback port of ours that nobody listens on, so what is
    // plugged into this machine never matters.
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&address), length), 0);
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    noUnitSocket_ = static_cast<std::uintptr_t>(s);
    setUnitEndpoint("127.0.0.1:" + std::to_string(ntohs(address.sin_port)));
}

void ProgramTest::TearDown()
{
    if (main_ && IsWindow(main_))
        closeMainWindow();
    if (main_)
        shutdownProgram();
    unit_.stop();
    setDeviceBackend(nullptr);
    setUnitEndpoint("");
    closesocket(static_cast<SOCKET>(noUnitSocket_));
    WSACleanup();
    setMessageBoxHook(nullptr);
    setFileDialogHook(nullptr);
    std::filesystem::current_path(previousDir_);
}

HWND ProgramTest::start()
{
    main_ = startProgram(GetModuleHandleA(nullptr), SW_SHOWNOACTIVATE);
    // The selection window comes with the first posted message.
    pumpUntil([this] { return selection() != nullptr; });
    return main_;
}

void ProgramTest::startAs(int languageId, int familyId)
{
    ASSERT_NE(start(), nullptr);
    confirmSelection(languageId, familyId);
}

void ProgramTest::confirmSelection(int languageId, int familyId)
{
    HWND window = selection();
    ASSERT_NE(window, nullptr);
    click(window, languageId);
    click(window, familyId);
    click(window, selectionIdOk);
    pumpUntil([this] { return selection() == nullptr; });
}

bool ProgramTest::closeMainWindow()
{
    PostMessageA(main_, WM_CLOSE, 0, 0);
    return pumpUntil([] { return quitMessageSeen(); });
}

ServedUnit& ProgramTest::serveUnit(char family, std::uint32_t protocolEntries, const ServedUnit::Adjust& adjust)
{
    unit_.start(family, protocolEntries, adjust);
    setUnitEndpoint(unit_.endpoint);
    return unit_;
}

HWND ProgramTest::familyWindow(const char* classBase) const
{
    return childOfClass(main_, (classBase + std::string(appState.family == 1 ? "1" : "0")).c_str());
}


void ProgramTest::click(HWND parent, int controlId)
{
    ASSERT_NE(GetDlgItem(parent, controlId), nullptr) << "control " << controlId;
    clickControl(parent, controlId);
    pumpFor(20);
}

void ProgramTest::answerFileDialogs(const std::string& path) { dialogAnswer = path; }
const std::vector<DialogRecord>& ProgramTest::dialogs() const { return dialogRecords; }

void ProgramTest::closeWindow(HWND window)
{
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(pumpUntil([window] { return !IsWindow(window); }));
}

bool ProgramTest::menuItemGrey(int id) const
{
    const UINT state = GetMenuState(GetMenu(main_), static_cast<UINT>(id), MF_BYCOMMAND);
    return state != 0xFFFFFFFFu && (state & MF_GRAYED) != 0;
}

std::vector<RecordedMessageBox> ProgramTest::takeMessageBoxes()
{
    std::vector<RecordedMessageBox> boxes;
    boxes.swap(messageBoxes);
    return boxes;
}

std::vector<RecordedMessageBox> ProgramTest::takeBoxes(std::size_t count, int waitMs)
{
    waitForMessageBoxes(count, waitMs);
    std::vector<RecordedMessageBox> boxes = takeMessageBoxes();
    EXPECT_EQ(boxes.size(), count);
    boxes.resize(count);
    return boxes;
}

bool ProgramTest::waitForMessageBoxes(std::size_t count, int waitMs)
{
    return pumpUntil([count] { return messageBoxes.size() >= count; }, waitMs);
}

std::string ProgramTest::shownMessages(int waitMs)
{
    waitForMessageBoxes(1, waitMs);
    pumpFor(100);   // a second box of the same event
    std::string shown;
    for (const RecordedMessageBox& box : takeMessageBoxes())
        shown += (shown.empty() ? "" : " + ") + box.text + " [" + box.caption + "]";
    return shown;
}

void ProgramTest::expectBox(const RecordedMessageBox& box, const std::string& text, const char* caption, UINT icon)
{
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, caption);
    EXPECT_EQ(box.type & MB_ICONMASK, icon);
}


