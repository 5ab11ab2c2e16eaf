#pragma once

#include <windows.h>

#include <string>

#include "ui/core/UIControl.h"

// A control that shows a real child window of the host over its rectangle. UI thread only.
//
// The window is created once the control is built under a host that has a window (message 1),
// follows the control's rectangle, visibility and enabling, and has its window procedure
// replaced by one that hands every message to OnNativeMessage around the previous procedure.
// The control forgets the handle when the window is destroyed by anyone; destroying the control
// destroys the window. Creation failure leaves the control without a window, drawing nothing.
class UINativeCtrl : public UIControl {
 public:
  UINativeCtrl() = default;
  ~UINativeCtrl() override;

  const char* GetClassName() const override { return "UINativeCtrl"; }
  void OnMessage(UIMessage& message) override;
  void Paint(Gdiplus::Graphics& graphics) override;

  HWND GetNativeWindow() const { return native_; }
  // Creates the window now if the host has one and it does not exist yet.
  bool CreateNativeWindow();

 protected:
  virtual const wchar_t* NativeClassName() const = 0;
  virtual DWORD NativeStyle() const { return 0; }
  virtual DWORD NativeExStyle() const { return 0; }
  // Runs after the window exists and is subclassed.
  virtual void OnNativeCreated() {}
  // Runs before the window is destroyed.
  virtual void OnNativeDestroying() {}
  // Called for every message of the window after the previous procedure answered `result`.
  virtual void OnNativeMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT result) {}
  // Recreates the window with the current styles (after a style attribute changed).
  void RecreateNativeWindow();
  void DestroyNativeWindow();

  HWND native_ = nullptr;

 private:
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  void FollowControl();

  WNDPROC previous_ = nullptr;
  RECT placed_ = {};
};
