#pragma once

#include <windows.h>

#include <memory>

#include "sys/GdiplusApi.h"

struct SkinMenu;
class SkinBitmap;

// The popup window class of skinned menus: one layered, tool, top-most window per open level.
extern const wchar_t kSkinMenuWndClass[];

// Shows the laid-out `menu` at the screen point (x, y), kept inside the work area of the
// monitor holding the point, and runs a modal menu loop on the calling (UI) thread: hover and
// arrow keys move the highlight, submenus open on hover after the system's menu delay (at
// once on a click, Right or Return) to the right of their entry, or to the left when there is
// no room. Answers the id of the chosen entry, or 0 when the menu is dismissed by Escape on the
// top level, a click outside every level, the owner losing activation, the capture being taken
// away or WM_QUIT (which is posted again for the caller's loop).
//
// `background` is drawn as a nine-grid behind every level and may be null; neither it nor
// `menu` is owned. The windows are destroyed before the call returns.
int RunSkinMenu(HWND owner, SkinMenu* menu, int x, int y, SkinBitmap* background);

// The picture of one level with entry `hot` highlighted (-1 for none), as the window shows it.
std::unique_ptr<Gdiplus::Bitmap> RenderSkinMenuForTesting(const SkinMenu& menu,
                                                          int hot,
                                                          SkinBitmap* background);
