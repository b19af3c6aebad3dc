#include "config_window_fixture.h"

#include <cstdio>

#include "app/ui_seams.h"
#include "app/window_table.h"
#include "config/config_windows.h"
#include "link/device_backend.h"
#include "link/link_control.h"
#include "link/link_state.h"
#include "link/remote_unit.h"
#include "app/feature_link.h"

namespace {

std::string dialogAnswer;
std::vector<DialogRecord> dialogs;

BOOL answerDialog(OPENFILENAMEA* dialog, bool save)
{
    dialogs.push_back({save, dialog->Flags, dialog->nFilterIndex, dialog->lpstrFile});
    if (dialogAnswer.empty())
        return FALSE;
    std::snprintf(dialog->lpstrFile, dialog->nMaxFile, "%s", dialogAnswer.c_str());
    return TRUE;
}

// Classes stay registered within the test process, with the procedure of
// the first start.
void unregisterFeatureClasses()
{
    for (int i = 2; i < windowClassCount; ++i)
        UnregisterClassA(windowClassTable[i].name, GetModuleHandleA(nullptr));
}

} // namespace

void answerFileDialogs(const std::string& path)
{
    dialogAnswer = path;
    setFileDialogHook(answerDialog);
}

std::vector<DialogRecord>& recordedDialogs() { return dialogs; }

void ConfigWindowTest::attachUnit(char family, const std::vector<std::uint8_t>& configuration)
{
    unit_ = std::make_unique<SimUnit>();
    initSimUnit(*unit_, defaultSimOptions(family));
    useBlockStore(*unit_, store_);
    setSimDataSet(store_, 0x35, configuration, 32, 1);
    server_ = startSimServer(*unit_, "127.0.0.1", 0);
    ASSERT_NE(server_, nullptr);
    setRemoteUnitEndpoint(("127.0.0.1:" + std::to_string(simServerPort(server_))).c_str());
    setDeviceBackend(&remoteUnitBackend);
}

void ConfigWindowTest::TearDown()
{
    ShellTest::TearDown();
    if (server_)
        stopSimServer(server_);
    server_ = nullptr;
    setRemoteUnitEndpoint("");
    setDeviceBackend(nullptr);
    linkHooks.stopLink = nullptr;
    setFileDialogHook(nullptr);
    dialogs.clear();
    dialogAnswer.clear();
}

HWND ConfigWindowTest::openAs(int languageId, int familyId, bool waitForRead)
{
    unregisterFeatureClasses();
    WindowProcTable features = {};
    features.procedure[2] = configurationProcK;
    features.procedure[3] = configurationProcM;
    if (!start(features))
        return nullptr;
    linkHooks.stopLink = stopLink;
    createLinkEvents();
    useWindowNotifications();
    confirmSelection(languageId, familyId);
    menuCommand(commandConfiguration);
    window_ = childOfClass(main(), familyId == selectionIdM ? "Configuration_CU1" : "Configuration_CU0");
    if (waitForRead)
        pumpUntil([] { return !recordedMessageBoxes().empty(); }, 5000);
    return window_;
}

void ConfigWindowTest::clickArrow(int row, bool up, int times)
{
    HWND arrows = control(row, partArrows);
    RECT r;
    GetClientRect(arrows, &r);
    const LPARAM at = MAKELPARAM(r.right / 2, up ? r.bottom / 4 : 3 * r.bottom / 4);
    for (int i = 0; i < times; ++i) {
        SendMessageA(arrows, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(arrows, WM_LBUTTONUP, 0, at);
    }
    pumpFor(10);
}

void ConfigWindowTest::chooseItem(int row, int index)
{
    HWND list = control(row, partValue);
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(window_, WM_COMMAND, MAKEWPARAM(rowControlId(row, partValue), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    pumpFor(10);
}
