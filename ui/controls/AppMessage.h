#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The application's message box, as the pages and dialogs show it: always titled with the
// product's name, buttons given as one "|"-separated string ("确定", "取消|删除"), one of two
// icons. UI thread only.

enum class MessageIcon { Error, Information };

// The pack image of an icon.
const wchar_t* MessageIconPath(MessageIcon icon);

// "取消|删除" -> {"取消", "删除"}; every piece is kept, an empty text gives none.
std::vector<std::wstring> SplitButtonLabels(const std::wstring& buttons);

// Modal on `owner`; answers 1..N for the buttons, -1 for the close button (see UIMessageBox).
int ShowAppMessage(HWND owner,
                   const std::wstring& text,
                   const std::wstring& buttons,
                   MessageIcon icon);
