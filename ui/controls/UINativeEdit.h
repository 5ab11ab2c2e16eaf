#pragma once

#include <windows.h>

#include "sys/Handles.h"
#include "ui/controls/UINativeCtrl.h"

// A real "EDIT" child window over the control's rectangle, in "Arial" whose pixel height is the
// leading number of "font" (default 16). "nspassword", "nsmultiline" and "nsborder" choose its
// styles (changing one recreates the window, keeping the text). UI thread only.
//
// The base text follows the window's text both ways. Every Return character the window has
// processed fires "vkreturn" (0, 0): once per key press. The font is the control's and dies with
// it.
class UINativeEdit : public UINativeCtrl {
 public:
  UINativeEdit() = default;
  ~UINativeEdit() override;

  const char* GetClassName() const override { return "UINativeEdit"; }
  bool ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  void OnMessage(UIMessage& message) override;

 protected:
  const wchar_t* NativeClassName() const override { return L"EDIT"; }
  DWORD NativeStyle() const override;
  void OnNativeCreated() override;
  void OnNativeMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT result) override;

 private:
  void ReadWindowText();
  void ApplyFont();

  bool password_ = false;
  bool multiLine_ = false;
  bool border_ = false;
  int fontPixels_ = 16;
  ScopedGdiObject font_;
  bool syncing_ = false;
};
