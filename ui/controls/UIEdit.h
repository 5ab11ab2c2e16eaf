#pragma once

#include <richedit.h>
#include <textserv.h>
#include <windows.h>

#include <map>
#include <memory>

#include "ui/core/UIControl.h"

class UIEdit;

// The site a windowless rich-edit text service draws and reports through: its client rectangle
// is the edit's rectangle in window coordinates, its caret, capture, focus and timers are the
// host window's. Owned by its UIEdit (COM references taken by the service do not extend its
// life; the edit releases the service first). UI thread only.
class UITextHost : public ITextHost {
 public:
  explicit UITextHost(UIEdit* owner);
  virtual ~UITextHost() = default;
  UITextHost(const UITextHost&) = delete;
  UITextHost& operator=(const UITextHost&) = delete;

  void SetFont(const std::wstring& fontDesc);
  void SetTextColour(COLORREF colour) { charFormat_.crTextColor = colour; }
  DWORD PropertyBits() const;
  void SetReadOnly(bool on) { readOnly_ = on; }
  bool ReadOnly() const { return readOnly_; }

  // IUnknown:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs_; }

  // ITextHost:
  HDC TxGetDC() override;
  INT TxReleaseDC(HDC hdc) override;
  BOOL TxShowScrollBar(INT bar, BOOL show) override { return FALSE; }
  BOOL TxEnableScrollBar(INT flags, INT arrows) override { return FALSE; }
  BOOL TxSetScrollRange(INT bar, LONG minPos, INT maxPos, BOOL redraw) override { return FALSE; }
  BOOL TxSetScrollPos(INT bar, INT pos, BOOL redraw) override { return FALSE; }
  void TxInvalidateRect(LPCRECT rect, BOOL mode) override;
  void TxViewChange(BOOL update) override;
  BOOL TxCreateCaret(HBITMAP bitmap, INT width, INT height) override;
  BOOL TxShowCaret(BOOL show) override;
  BOOL TxSetCaretPos(INT x, INT y) override;
  BOOL TxSetTimer(UINT id, UINT timeout) override;
  void TxKillTimer(UINT id) override;
  void TxScrollWindowEx(INT dx,
                        INT dy,
                        LPCRECT scroll,
                        LPCRECT clip,
                        HRGN update,
                        LPRECT updateRect,
                        UINT flags) override;
  void TxSetCapture(BOOL capture) override;
  void TxSetFocus() override;
  void TxSetCursor(HCURSOR cursor, BOOL text) override;
  BOOL TxScreenToClient(LPPOINT point) override;
  BOOL TxClientToScreen(LPPOINT point) override;
  HRESULT TxActivate(LONG* oldState) override { return S_OK; }
  HRESULT TxDeactivate(LONG newState) override { return S_OK; }
  HRESULT TxGetClientRect(LPRECT rect) override;
  HRESULT TxGetViewInset(LPRECT rect) override;
  HRESULT TxGetCharFormat(const CHARFORMATW** format) override;
  HRESULT TxGetParaFormat(const PARAFORMAT** format) override;
  COLORREF TxGetSysColor(int index) override { return GetSysColor(index); }
  HRESULT TxGetBackStyle(TXTBACKSTYLE* style) override;
  HRESULT TxGetMaxLength(DWORD* length) override;
  HRESULT TxGetScrollBars(DWORD* bars) override;
  HRESULT TxGetPasswordChar(TCHAR* c) override { return S_FALSE; }
  HRESULT TxGetAcceleratorPos(LONG* cp) override;
  HRESULT TxGetExtent(LPSIZEL extent) override { return E_NOTIMPL; }
  HRESULT OnTxCharFormatChange(const CHARFORMATW* format) override { return S_OK; }
  HRESULT OnTxParaFormatChange(const PARAFORMAT* format) override { return S_OK; }
  HRESULT TxGetPropertyBits(DWORD mask, DWORD* bits) override;
  HRESULT TxNotify(DWORD code, void* data) override;
  HIMC TxImmGetContext() override;
  void TxImmReleaseContext(HIMC himc) override;
  HRESULT TxGetSelectionBarWidth(LONG* width) override;

 private:
  HWND Window() const;

  UIEdit* owner_;
  ULONG refs_ = 1;
  bool readOnly_ = false;
  CHARFORMATW charFormat_ = {};
  PARAFORMAT paraFormat_ = {};
};

// A windowless rich-edit box: the system's rich-edit library ("riched20.dll") and its text
// services, hosted by UITextHost, multi-line with word wrap, plain text. "readonly" (boolean)
// refuses the user's edits; "font" and "clr" set the text's font and colour. UI thread only.
//
// The base text follows the service's text both ways. The text is painted over an opaque white
// field (the service draws with GDI, whose pixels carry no alpha). Without the library the
// control paints its background only and keeps the text it was given.
class UIEdit : public UIControl {
 public:
  UIEdit();
  ~UIEdit() override;

  const char* GetClassName() const override { return "UIEdit"; }
  bool ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  void Paint(Gdiplus::Graphics& graphics) override;
  void OnMessage(UIMessage& message) override;

  bool IsReadOnly() const { return site_.ReadOnly(); }
  // Whether the text service could be created.
  bool HasTextServices() const { return services_ != nullptr; }

 private:
  friend class UITextHost;
  bool EnsureServices();
  void ReadServiceText();
  int TimerIndexFor(UINT id);

  UITextHost site_;
  struct ComRelease {
    void operator()(IUnknown* p) const { p->Release(); }
  };
  std::unique_ptr<ITextServices, ComRelease> services_;
  bool activated_ = false;
  bool syncing_ = false;
  std::map<int, UINT> timers_;  // control timer index -> the service's timer id
};
