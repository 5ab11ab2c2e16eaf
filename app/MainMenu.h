#pragma once

#include <windows.h>

struct SkinMenu;

// Shows the main menu "xml\mainmenu.xml" at the screen point `at`, owned by `owner`, decorated
// by DecorateMainMenu. Answers the chosen id, 0 when dismissed, -1 when the menu file is
// missing. UI thread only; runs a modal loop.
int TrackMainMenu(HWND owner, POINT at);

// While autostart is on (read from the registry now), marks the fifth entry ("开机启动") checked
// with the check image; a menu of four entries or fewer is left alone. While the wake setting is
// on, marks the entry "唤醒电脑执行任务" (id 8) the same way.
void DecorateMainMenu(SkinMenu* menu);
