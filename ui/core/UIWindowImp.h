#pragma once

#include <windows.h>

// One native window and the window procedure shared by every framework window. UI thread only.
//
// The object is attached to its window under the property "skinobj" from the non-client create
// on; messages of a window without it go to the default procedure. HandleMessage answers
// whether it handled a message; unhandled ones go to the default procedure. After the
// non-client destroy, once the outermost handling returns, the handle is cleared and
// OnFinalMessage runs (a subclass may delete itself there). The object must outlive its window
// or destroy it first (the destructor does).
class UIWindowImp {
 public:
  enum class HookPhase { kBefore, kAfter };

  UIWindowImp() = default;
  UIWindowImp(const UIWindowImp&) = delete;
  UIWindowImp& operator=(const UIWindowImp&) = delete;

  // --- Virtual operations, in slot order.
  virtual ~UIWindowImp();
  virtual void FillWindowClass(WNDCLASSEXW& wc);
  virtual const wchar_t* GetWindowClassName() const { return L"UIWidget"; }
  virtual UINT GetClassStyle() const { return 0; }
  // The base keeps windows on screen: at the end of a move or size loop the window is shifted
  // inside its monitor's work area.
  virtual void OnMessageHook(const MSG& msg, HookPhase phase);
  virtual bool HandleMessage(HWND hwnd,
                             UINT message,
                             WPARAM wparam,
                             LPARAM lparam,
                             LRESULT* result) {
    return false;
  }
  virtual void OnFinalMessage(HWND hwnd) {}

  // Registers the class (once per name) and creates the window with an empty title. Null on
  // failure.
  HWND Create(HWND parent, DWORD style, DWORD exStyle, int x, int y, int width, int height);
  HWND hwnd() const { return hwnd_; }

  // Destroys the window and deletes this object (made with new) once no message of the window
  // is being handled: at once when none is, else when the outermost handling returns. For an
  // owner that may go while the window is inside its own procedure (a combo box deleted by the
  // event its drop list fires). Not for classes that delete themselves in OnFinalMessage; the
  // caller must not touch the object afterwards.
  void DestroyAndDelete();

 protected:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

  HWND hwnd_ = nullptr;
  int depth_ = 0;
  bool destroyed_ = false;
  bool deleteWhenDone_ = false;
};

// Moves `hwnd` (size unchanged) so that it lies inside its monitor's work area.
void KeepWindowInsideWorkArea(HWND hwnd);
