#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/core/UIHostWnd.h"

// A skinned, modal message box: title, text, an optional icon and one or more buttons, built in
// code (no layout file) when its window is created.
//
// Size: the text measured in the 16-pixel default face, one line per paragraph, no wrapping;
// the icon column and the buttons widen it; the result is kept within 300..600 x 220..400 (text
// that is still too large wraps inside its label and may be clipped). Buttons are 120 x 40,
// centred as a row near the bottom; the last one is the primary one. An icon image missing from
// the skin builds the box without the icon column.
//
// Run answers 1 for the first button, 2 for the second and so on, and -1 for the close button
// or Escape; 0 when the loop ended otherwise (the window destroyed from outside, the quit
// message). UI thread only; GDI+ must run. The window is destroyed when Run returns; the object
// may be deleted afterwards.
class UIMessageBox : public UIHostWnd {
 public:
  static constexpr int kClosed = -1;

  UIMessageBox(HWND owner,
               std::wstring title,
               std::wstring text,
               std::vector<std::wstring> buttons,
               std::wstring iconPath);

  // Creates the window centred on the owner, shows it and runs it modally (the owner is
  // disabled meanwhile).
  int Run();
  // The first step of Run: the window built, sized and centred, still hidden. False when the
  // window cannot be made.
  bool CreateHidden();

  // Called with every box once its window is shown and before its modal loop starts, so that a
  // test can post the messages the loop will handle. Null turns it off.
  using ShownHook = void (*)(UIMessageBox* box);
  static void SetShownHookForTesting(ShownHook hook);

  // The controls made for the buttons, in the order of the labels; empty before creation.
  const std::vector<UIControl*>& button_controls() const { return buttonControls_; }
  UIControl* close_button() const { return closeButton_; }
  UIControl* text_label() const { return textLabel_; }
  // Null when the box has no icon.
  UIControl* icon_control() const { return iconControl_; }

  // UIHostWnd:
  int OnEvent(UIEvent& event) override;
  void OnInitialized() override;
  bool HandleMessage(HWND hwnd,
                     UINT message,
                     WPARAM wparam,
                     LPARAM lparam,
                     LRESULT* result) override;

 private:
  SIZE ComputeSize(SIZE icon) const;
  UIControl* AddControl(UIControl* parent,
                        const wchar_t* className,
                        const std::vector<std::pair<std::wstring, std::wstring>>& attributes);

  HWND owner_;
  std::wstring title_;
  std::wstring text_;
  std::vector<std::wstring> buttons_;
  std::wstring iconPath_;
  // Borrowed from the tree, which lives as long as the object.
  std::vector<UIControl*> buttonControls_;
  UIControl* closeButton_ = nullptr;
  UIControl* textLabel_ = nullptr;
  UIControl* iconControl_ = nullptr;
};

// Builds and runs a message box (see UIMessageBox::Run for the result). UI thread only.
int ShowMessageBox(HWND owner,
                   const std::wstring& title,
                   const std::wstring& text,
                   const std::vector<std::wstring>& buttons,
                   const std::wstring& iconPath);
