#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "ui/core/UIContainer.h"
#include "ui/core/UIDirtyRect.h"
#include "ui/core/UIWindowImp.h"

// A top-level window hosting one control tree built from a layout file of the skin. Every
// dialog and the main window derive from it. UI thread only.
//
// Creation builds the tree and resizes the window to the layout root's size (position kept).
// The tree is painted into a 32-bit premultiplied back buffer of the window's size, presented
// with per-pixel alpha (layered windows) or copied to the window. A paint covers only what was
// invalidated since the last one (their union, inside the client area) and pushes only that
// rectangle to the screen; nothing invalid paints and pushes nothing. Native mouse, key, focus,
// timer and caret messages become control messages; capture, hover, focus and tracking are kept
// as control handles, so a control destroyed meanwhile simply stops receiving anything (its
// timers are killed at their next tick).
//
// Focus order (Tab): controls that are focusable, visible and enabled on themselves and every
// ancestor, in tree pre-order, wrapping from the last to the first (Shift+Tab the reverse). The
// arrow keys step among the focused control's siblings (left/up back, right/down forward),
// wrapping within the parent, for controls that opt in.
//
// Modal use: RunModal dispatches messages until EndModal, Close, the window's destruction (by
// any means) or the quit message; the owner is disabled meanwhile and re-enabled before
// RunModal returns. A nested loop that meets the quit message posts it again for the loop
// outside it. The object may delete itself in OnFinalMessage while its loop runs or when the
// loop destroys the window: RunModal still answers the result.
//
// Ownership: the object owns its tree, back buffer, caret and font cache; it is not deleted by
// the window (a subclass may delete itself in OnFinalMessage). Destroying the object destroys a
// window still open. GDI+ must run for the object's whole life.
class UIHostWnd : public UIContainer, public UIWindowImp {
 public:
  // Application dialogs are created with this style and size; the layout sets the real size.
  static constexpr DWORD kDialogStyle = WS_POPUP | WS_VISIBLE;
  static constexpr DWORD kDialogExStyle = WS_EX_LAYERED | WS_EX_TOOLWINDOW;

  explicit UIHostWnd(const std::wstring& layoutPath = std::wstring());
  ~UIHostWnd() override;

  // Centres on the owner (or on the work area when there is no visible owner), then keeps the
  // window inside its monitor's work area.
  void CenterWindow();
  // Creates a dialog-style window owned by `owner`, centres it and only then shows it, so that
  // it never appears at its provisional place (where a click meant for it would miss it).
  bool CreateCentered(HWND owner);
  void BringToFront();
  // Null `owner` runs without one. Answers the modal result (0 when the loop ended otherwise).
  int RunModal(HWND owner = nullptr);
  void EndModal(int result);
  // Hides and destroys the window and ends the modal loop.
  void Close();
  bool IsModalRunning() const { return modal_ && modal_->running; }

  void SetAlpha(uint8_t alpha) { alpha_ = alpha; }
  void SetResizable(bool resizable) { resizable_ = resizable; }
  void SetDragByBackground(bool drag) { dragByBackground_ = drag; }
  void SetNonClientMode(bool on) { nonClientMode_ = on; }
  // Gdiplus::TextRenderingHint; 0 leaves the default. The global hint applies first.
  void SetTextRenderingHint(int hint) { textHint_ = hint; }
  static void SetGlobalTextRenderingHint(int hint);

  // Paints what is invalid now, without waiting for the message queue.
  void PaintNow();
  // The paint pass proper into any graphics of the window's size: `area` (window coordinates)
  // cleared to transparent and the tree painted over it. The whole client area is painted
  // without a clip.
  void PaintTo(Gdiplus::Graphics& graphics, const RECT& area);
  // The rectangle the last paint pushed to the screen, and how many paints pushed one.
  RECT LastPushedRectForTesting() const { return lastPushed_; }
  int PushCountForTesting() const { return pushCount_; }
  // A pixel of the back buffer as stored (premultiplied ARGB); 0 outside it.
  uint32_t BackBufferPixelForTesting(int x, int y) const;
  SIZE BackBufferSizeForTesting() const { return {bufferWidth_, bufferHeight_}; }

  // IUIContainer:
  HWND GetHwnd() const override { return hwnd_; }
  bool IsLayered() const override;
  RECT GetClientRect() const override;
  void InvalidateRect(const RECT& rect) override;
  bool SetCapture(uint32_t handle) override;
  void ReleaseCapture() override;
  uint32_t GetCaptureHandle() const override { return capture_; }
  void SetFocusControl(uint32_t handle) override;
  UIControl* GetFocusControl() const override;
  void SetHoverControl(UIControl* control) override;
  UIControl* GetHoverControl() const override;
  bool CreateCaret(UIControl* owner, HBITMAP bitmap, int width, int height) override;
  void ShowCaret(bool on) override;
  void SetCaretPos(int x, int y) override;
  int FireEvent(UIControl* sender, const char* name, int param1, int param2) override;
  // Any event of "btnclose" or "btncancel" ends the modal loop with 0, of "btnok" with 1;
  // "btnmini" minimises. Answers 1.
  int OnEvent(UIEvent& event) override;
  void OnTimer(int index) override {}
  void OnInitialized() override {}
  void Paint(Gdiplus::Graphics& graphics) override;
  LRESULT HitTestNonClient(int x, int y) override;
  SIZE GetMinSize() const override { return {500, 500}; }
  RECT GetMaxInsets() const override { return {0, 0, 0, 0}; }
  RECT GetBorderWidths() const override { return {6, 6, 6, 6}; }

  // UIWindowImp:
  bool HandleMessage(HWND hwnd,
                     UINT message,
                     WPARAM wparam,
                     LPARAM lparam,
                     LRESULT* result) override;

  // The caret blink uses the root's timer index 1.
  static constexpr int kCaretTimerIndex = 1;

 protected:
  void OnCreateWindow();
  void OnPaintMessage();
  void PaintArea(RECT area);
  bool EnsureBackBuffer();
  void FreeBackBuffer();
  void Present(const RECT& area);
  void RouteMouse(UINT message, WPARAM wparam, LPARAM lparam);
  void RouteMouseMove(WPARAM wparam, LPARAM lparam);
  void RouteWheel(UINT message, WPARAM wparam, LPARAM lparam);
  void OnMouseLeave();
  // Visits every tracked control still alive, each looked up just before its visit (a visit may
  // destroy others), and forgets the dead ones.
  void ForEachTracked(const std::function<void(UIControl*)>& visit);
  bool RouteKey(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result);
  bool MoveFocusByTab(bool backwards);
  bool MoveFocusByArrow(UIControl* focused, WPARAM key);
  void OnActivate(bool active);
  void OnTimerMessage(WPARAM id);
  bool OnSetCursor(LPARAM lparam);
  void InvertCaret();
  RECT CaretRect() const;
  // The control that placed the caret was removed (a focused edit taken out of the tree): the
  // caret is no longer drawn and stops blinking at its next tick.
  bool CaretOwnerGone() const;
  void PlaceRoot(int width, int height);

  std::wstring layoutPath_;
  uint8_t alpha_ = 255;
  uint32_t capture_ = 0;
  uint32_t hover_ = 0;
  uint32_t focus_ = 0;
  uint32_t savedFocus_ = 0;
  bool trackingArmed_ = false;
  UINT lastMouseMessage_ = 0;
  WPARAM lastMouseWparam_ = 0;
  LPARAM lastMouseLparam_ = 0;

  // Back buffer: a top-down 32-bit DIB section and a GDI+ bitmap over the same pixels.
  HDC bufferDc_ = nullptr;
  HBITMAP bufferBitmap_ = nullptr;
  HGDIOBJ bufferOldBitmap_ = nullptr;
  uint32_t* bufferBits_ = nullptr;
  int bufferWidth_ = 0;
  int bufferHeight_ = 0;
  std::unique_ptr<Gdiplus::Bitmap> bufferImage_;
  UIDirtyRect dirty_;
  bool building_ = false;  // invalidations only gather while the layout is built
  RECT lastPushed_ = {};
  int pushCount_ = 0;

  // Caret: a rectangle inverted over the back buffer.
  uint32_t caretOwner_ = 0;
  bool caretCreated_ = false;
  bool caretShown_ = false;
  bool caretPhaseOn_ = false;
  bool caretDrawn_ = false;
  POINT caretPos_ = {};
  SIZE caretSize_ = {};

  // One running RunModal: on its stack, so that it outlives an object deleted meanwhile.
  struct ModalFrame {
    int result = 0;
    bool running = true;
    bool gone = false;  // the object was destroyed
    ModalFrame* outer = nullptr;
  };

  int textHint_ = 0;
  ModalFrame* modal_ = nullptr;  // the innermost running loop
  int modalResult_ = 0;          // the last result, answered when no window runs
  HWND modalOwner_ = nullptr;
  bool resizable_ = false;
  bool dragByBackground_ = true;
  bool nonClientMode_ = false;
};
