#pragma once
// Menu command ids of the main window; shared by kavix.rc and the code.
#define IDM_CONFIGURATION    10
#define IDM_RUN_COUNTER      20
#define IDM_MONITOR          30
#define IDM_PROTOCOL_READ    40
#define IDM_PROTOCOL_DISPLAY 41
#define IDM_PROTOCOL_SAVE    42
#define IDM_SELECTION        50
#define IDM_INFO             60
