#pragma once
#include <string>

#include "app/family.h"

// Menu commands of the main window. Unscoped: they are the ids of the menu
// resources and of WM_COMMAND, compared with plain integers.
enum MenuCommand : int {
    commandConfiguration = 10,
    commandRunCounter = 20,
    commandMonitor = 30,
    commandProtocolRead = 40,
    commandProtocolDisplay = 41,
    commandProtocolSave = 42,
    commandSelection = 50,
    commandInfo = 60,
};

// Commands greyed while a feature window or the selection window is open.
inline constexpr int menuItemIdCount = 7;
inline constexpr int menuItemIds[menuItemIdCount] = {10, 20, 40, 41, 42, 30, 50};

// The feature window a menu command opens for a family: class and caption text.
struct FeatureWindowChoice {
    const char* className;
    int captionText;
};
// False for commands that open no feature window.
bool featureWindowFor(int command, Family family, FeatureWindowChoice& choice);

// Title after the selection: text 0, " / ", and the family's name.
std::string mainWindowTitle(Family family);

// The info box (command 60): the same in both languages.
extern const char* const infoBoxText;
