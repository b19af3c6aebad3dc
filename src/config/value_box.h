#pragma once
// Windows only: the read-only box of a number row, whose value only the
// arrows at its right edge change. From the keyboard the box takes the focus
// (Tab, shown by a focus rectangle) and steps its value as the arrows do:
// Up and Down by one (held, they repeat), Page Up and Page Down by ten, Home
// and End to the ends of the range. Typing changes nothing.
#include <windows.h>

void makeValueBox(HWND box, HWND arrows);
