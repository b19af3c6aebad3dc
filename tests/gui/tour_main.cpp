// kavix-tour: starts the program in this process, walks through its windows
// by messages and writes a screenshot (BMP) of the main window at each stop.
// Usage: kavix_tour.exe OUTPUT_FOLDER
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "app/layout.h"
#include "app/shell.h"
#include "app/window_procedures.h"
#include "app/window_table.h"
#include "gui_pump.h"

namespace {

std::filesystem::path outputFolder;
HWND mainWindow = nullptr;

void shot(const char* name)
{
    RedrawWindow(mainWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    pumpFor(300);
    const std::string path = (outputFolder / (std::string(name) + ".bmp")).string();
    std::printf("%s %s\n", captureWindow(mainWindow, path.c_str()) ? "wrote" : "FAILED", path.c_str());
}

HWND selectionWindow() { return childOfClass(mainWindow, "Select_CUx"); }

void choose(int languageId, int familyId)
{
    HWND selection = selectionWindow();
    clickControl(selection, languageId);
    clickControl(selection, familyId);
    clickControl(selection, selectionIdOk);
    pumpUntil([] { return selectionWindow() == nullptr; });
}

void command(int id)
{
    PostMessageA(mainWindow, WM_COMMAND, static_cast<WPARAM>(id), 0);
    pumpFor(200);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: kavix_tour OUTPUT_FOLDER\n");
        return 2;
    }
    outputFolder = std::filesystem::absolute(argv[1]);
    std::filesystem::create_directories(outputFolder);
    // Settings of the tour stay in its own folder.
    std::filesystem::current_path(outputFolder);
    std::filesystem::remove(outputFolder / "kavix.ini");

    installProgramParts();
    mainWindow = startApplication(GetModuleHandleA(nullptr), SW_SHOWNORMAL, programWindowProcedures());
    if (!mainWindow)
        return 1;
    pumpUntil([] { return selectionWindow() != nullptr; });
    shot("01-selection");

    choose(selectionIdEnglish, selectionIdK);
    shot("02-main-k-english");

    command(commandSelection);
    choose(selectionIdGerman, selectionIdM);
    shot("03-main-m-german");

    PostMessageA(mainWindow, WM_CLOSE, 0, 0);
    pumpUntil([] { return quitMessageSeen(); });
    shutdownApplication();
    return 0;
}
