#pragma once

#include <windows.h>

// Shows the main menu "xml\mainmenu.xml" at the screen point `at`, owned by `owner`, with the
// autostart entry checked while autostart is on. Answers the chosen id, 0 when dismissed, -1
// when the menu file is missing. UI thread only; runs a modal loop.
int TrackMainMenu(HWND owner, POINT at);
