#include <windows.h>

#include "app/shell.h"
#include "app/window_procedures.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    installProgramParts();
    return runKavix(instance, showCommand, programWindowProcedures());
}
