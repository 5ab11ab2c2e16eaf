#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "sys/GdiplusApi.h"

class UIControl;
struct UIEvent;

// The owner of a control tree: the window side that controls talk to. Implemented by
// UIContainer/UIHostWnd. UI thread only.
//
// Controls are named by handle (UIControl::GetHandle) for capture, focus and tracking, so that a
// control destroyed meanwhile is never touched: a handle that no longer resolves counts as no
// control. Rectangles are in window (client) coordinates.
class IUIContainer {
 public:
  virtual ~IUIContainer() = default;

  // Null before the window exists and after it is destroyed.
  virtual HWND GetHwnd() const = 0;
  virtual bool IsLayered() const = 0;
  virtual RECT GetClientRect() const = 0;
  // Marks an area of the window for the next paint pass.
  virtual void InvalidateRect(const RECT& rect) = 0;

  // Mouse capture for one control; refused (false) for a missing or disabled control.
  virtual bool SetCapture(uint32_t handle) = 0;
  // Clears the capture holder, releases the native capture and posts a mouse move at the
  // cursor so that hover states are recomputed.
  virtual void ReleaseCapture() = 0;
  virtual uint32_t GetCaptureHandle() const = 0;

  // 0 takes the focus away from every control. The control named may redirect the focus
  // through GetFocusTarget.
  virtual void SetFocusControl(uint32_t handle) = 0;
  // The focused control, resolved now; null when none.
  virtual UIControl* GetFocusControl() const = 0;

  // The control under the mouse: the previous one gets mouse-leave, the new one mouse-hover.
  virtual void SetHoverControl(UIControl* control) = 0;
  virtual UIControl* GetHoverControl() const = 0;
  // Controls with "track" receive hover and leave on their own while the mouse is inside them.
  virtual void AddTracking(uint32_t handle) = 0;
  virtual void RemoveTracking(uint32_t handle) = 0;

  // The caret: inverted over the back buffer, blinking while shown. `bitmap` is unused by the
  // inverting caret and may be null.
  virtual bool CreateCaret(UIControl* owner, HBITMAP bitmap, int width, int height) = 0;
  virtual void ShowCaret(bool on) = 0;
  virtual void SetCaretPos(int x, int y) = 0;

  // The window's font for a font description ("14", "16b"), cached for the window's life;
  // an empty font description answers the process-wide default font. Never null while GDI+ runs.
  virtual Gdiplus::Font* GetFont(const std::wstring& fontDesc) = 0;

  // Delivers a control's event to OnEvent; answers its result.
  virtual int FireEvent(UIControl* sender, const char* name, int param1, int param2) = 0;
  // The window's event handler; applications override it and pass what they do not handle on.
  virtual int OnEvent(UIEvent& event) = 0;
  // Timers of the root control (index other than the caret blink).
  virtual void OnTimer(int index) = 0;
  // Once, after the layout has been built and placed.
  virtual void OnInitialized() = 0;
  // Paints the tree into `graphics` (already clipped to the area to paint).
  virtual void Paint(Gdiplus::Graphics& graphics) = 0;
  // Screen coordinates in, a WM_NCHITTEST code out.
  virtual LRESULT HitTestNonClient(int x, int y) = 0;
  virtual SIZE GetMinSize() const = 0;
  virtual RECT GetMaxInsets() const = 0;
  virtual RECT GetBorderWidths() const = 0;
  // The root control of the tree.
  virtual UIControl* GetRoot() = 0;
};
