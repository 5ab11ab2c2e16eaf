#include "ui/controls/UIEdit.h"

#include <imm.h>
#include <oleauto.h>

#include <algorithm>
#include <vector>

#include "sys/Handles.h"
#include "sys/UserToken.h"
#include "ui/core/UIFont.h"
#include "ui/core/UIValueParse.h"

namespace {

// The identifiers of the text-service interfaces as riched20 publishes them; the library's own
// exported copy wins when it has one.
const IID kIidTextServices = {0x8d33f740,
                              0xcf58,
                              0x11ce,
                              {0xa8, 0x9d, 0x00, 0xaa, 0x00, 0x6c, 0xad, 0xc5}};
const IID kIidTextHost = {0xc5bdd8d0,
                          0xd26e,
                          0x11ce,
                          {0xa8, 0x9e, 0x00, 0xaa, 0x00, 0x6c, 0xad, 0xc5}};

struct RichEditLibrary {
  HMODULE module = nullptr;
  PCreateTextServices create = nullptr;
  IID servicesIid = kIidTextServices;
};

// Loaded once and kept for the process: text services may outlive any one control's calls.
const RichEditLibrary& Library() {
  static RichEditLibrary library = [] {
    RichEditLibrary l;
    l.module = LoadLibraryW(SystemPath(L"riched20.dll").c_str());
    if (!l.module)
      return l;
    l.create = reinterpret_cast<PCreateTextServices>(
        reinterpret_cast<void*>(GetProcAddress(l.module, "CreateTextServices")));
    if (auto* iid = reinterpret_cast<const IID*>(
            reinterpret_cast<void*>(GetProcAddress(l.module, "IID_ITextServices"))))
      l.servicesIid = *iid;
    return l;
  }();
  return library;
}

COLORREF ToColorRef(Gdiplus::ARGB argb) {
  return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

}  // namespace

// --- UITextHost.

UITextHost::UITextHost(UIEdit* owner) : owner_(owner) {
  charFormat_.cbSize = sizeof(charFormat_);
  charFormat_.dwMask = CFM_FACE | CFM_SIZE | CFM_COLOR | CFM_BOLD | CFM_ITALIC | CFM_CHARSET;
  charFormat_.crTextColor = RGB(0x60, 0x65, 0x6F);
  charFormat_.bCharSet = DEFAULT_CHARSET;
  SetFont(L"14");
  paraFormat_.cbSize = sizeof(paraFormat_);
  paraFormat_.dwMask = PFM_ALIGNMENT;
  paraFormat_.wAlignment = PFA_LEFT;
}

void UITextHost::SetFont(const std::wstring& fontDesc) {
  std::unique_ptr<Gdiplus::Font> font = CreateUIFont(fontDesc);
  int pixels = font ? static_cast<int>(font->GetSize() + 0.5f) : 14;
  int style = font ? font->GetStyle() : Gdiplus::FontStyleRegular;
  // Twips of a font whose em is `pixels` at 96 dots per inch.
  charFormat_.yHeight = pixels * 1440 / 96;
  charFormat_.dwEffects = 0;
  if (style & Gdiplus::FontStyleBold)
    charFormat_.dwEffects |= CFE_BOLD;
  if (style & Gdiplus::FontStyleItalic)
    charFormat_.dwEffects |= CFE_ITALIC;
  const std::wstring& face = UIFontFace();
  size_t n = std::min(face.size(), static_cast<size_t>(LF_FACESIZE - 1));
  face.copy(charFormat_.szFaceName, n);
  charFormat_.szFaceName[n] = L'\0';
}

DWORD UITextHost::PropertyBits() const {
  return TXTBIT_MULTILINE | TXTBIT_WORDWRAP | (readOnly_ ? TXTBIT_READONLY : 0);
}

HRESULT UITextHost::QueryInterface(REFIID iid, void** out) {
  if (!out)
    return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kIidTextHost)) {
    *out = static_cast<ITextHost*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

HWND UITextHost::Window() const {
  IUIContainer* host = owner_->GetHost();
  return host ? host->GetHwnd() : nullptr;
}

HDC UITextHost::TxGetDC() {
  return GetDC(Window());
}

INT UITextHost::TxReleaseDC(HDC hdc) {
  return ReleaseDC(Window(), hdc);
}

void UITextHost::TxInvalidateRect(LPCRECT rect, BOOL mode) {
  owner_->Invalidate();
}

void UITextHost::TxViewChange(BOOL update) {
  owner_->Invalidate();
}

BOOL UITextHost::TxCreateCaret(HBITMAP bitmap, INT width, INT height) {
  IUIContainer* host = owner_->GetHost();
  return host && host->CreateCaret(owner_, bitmap, std::max(width, 1), height);
}

BOOL UITextHost::TxShowCaret(BOOL show) {
  if (IUIContainer* host = owner_->GetHost())
    host->ShowCaret(show != FALSE && host->GetFocusControl() == owner_);
  return TRUE;
}

BOOL UITextHost::TxSetCaretPos(INT x, INT y) {
  if (IUIContainer* host = owner_->GetHost())
    host->SetCaretPos(x, y);
  return TRUE;
}

BOOL UITextHost::TxSetTimer(UINT id, UINT timeout) {
  return owner_->SetTimer(owner_->TimerIndexFor(id), timeout);
}

void UITextHost::TxKillTimer(UINT id) {
  for (auto it = owner_->timers_.begin(); it != owner_->timers_.end(); ++it) {
    if (it->second == id) {
      owner_->KillTimer(it->first);
      owner_->timers_.erase(it);
      return;
    }
  }
}

void UITextHost::TxScrollWindowEx(INT dx,
                                  INT dy,
                                  LPCRECT scroll,
                                  LPCRECT clip,
                                  HRGN update,
                                  LPRECT updateRect,
                                  UINT flags) {
  owner_->Invalidate();
}

void UITextHost::TxSetCapture(BOOL capture) {
  IUIContainer* host = owner_->GetHost();
  if (!host)
    return;
  if (capture)
    host->SetCapture(owner_->GetHandle());
  else if (host->GetCaptureHandle() == owner_->GetHandle())
    host->ReleaseCapture();
}

void UITextHost::TxSetFocus() {
  if (IUIContainer* host = owner_->GetHost())
    host->SetFocusControl(owner_->GetHandle());
}

void UITextHost::TxSetCursor(HCURSOR cursor, BOOL text) {
  SetCursor(cursor);
}

BOOL UITextHost::TxScreenToClient(LPPOINT point) {
  return ScreenToClient(Window(), point);
}

BOOL UITextHost::TxClientToScreen(LPPOINT point) {
  return ClientToScreen(Window(), point);
}

HRESULT UITextHost::TxGetClientRect(LPRECT rect) {
  *rect = owner_->WindowRect();
  return S_OK;
}

HRESULT UITextHost::TxGetViewInset(LPRECT rect) {
  *rect = {};
  return S_OK;
}

HRESULT UITextHost::TxGetCharFormat(const CHARFORMATW** format) {
  *format = &charFormat_;
  return S_OK;
}

HRESULT UITextHost::TxGetParaFormat(const PARAFORMAT** format) {
  *format = &paraFormat_;
  return S_OK;
}

HRESULT UITextHost::TxGetBackStyle(TXTBACKSTYLE* style) {
  *style = TXTBACK_TRANSPARENT;
  return S_OK;
}

HRESULT UITextHost::TxGetMaxLength(DWORD* length) {
  *length = 0x7FFFFFFE;
  return S_OK;
}

HRESULT UITextHost::TxGetScrollBars(DWORD* bars) {
  *bars = ES_AUTOVSCROLL;
  return S_OK;
}

HRESULT UITextHost::TxGetAcceleratorPos(LONG* cp) {
  *cp = -1;
  return S_OK;
}

HRESULT UITextHost::TxGetPropertyBits(DWORD mask, DWORD* bits) {
  *bits = PropertyBits() & mask;
  return S_OK;
}

HRESULT UITextHost::TxNotify(DWORD code, void* data) {
  if (code == EN_CHANGE)
    owner_->ReadServiceText();
  return S_OK;
}

HIMC UITextHost::TxImmGetContext() {
  return ImmGetContext(Window());
}

void UITextHost::TxImmReleaseContext(HIMC himc) {
  ImmReleaseContext(Window(), himc);
}

HRESULT UITextHost::TxGetSelectionBarWidth(LONG* width) {
  *width = 0;
  return S_OK;
}

// --- UIEdit.

UIEdit::UIEdit() : site_(this) {
  SetFocusable(true);
  cursor_ = IDC_IBEAM;
}

UIEdit::~UIEdit() {
  if (services_ && activated_)
    services_->OnTxInPlaceDeactivate();
}

bool UIEdit::EnsureServices() {
  if (services_)
    return true;
  const RichEditLibrary& library = Library();
  if (!library.create || !host_ || !host_->GetHwnd())
    return false;
  IUnknown* unknown = nullptr;
  if (FAILED(library.create(nullptr, &site_, &unknown)) || !unknown)
    return false;
  void* services = nullptr;
  HRESULT hr = unknown->QueryInterface(library.servicesIid, &services);
  unknown->Release();
  if (FAILED(hr) || !services)
    return false;
  services_.reset(static_cast<ITextServices*>(services));
  RECT r = WindowRect();
  activated_ = SUCCEEDED(services_->OnTxInPlaceActivate(&r));
  LRESULT ignored = 0;
  services_->TxSendMessage(EM_SETEVENTMASK, 0, ENM_CHANGE, &ignored);
  syncing_ = true;
  services_->TxSetText(text_.c_str());
  syncing_ = false;
  return true;
}

void UIEdit::ReadServiceText() {
  if (!services_ || syncing_)
    return;
  BSTR text = nullptr;
  if (SUCCEEDED(services_->TxGetText(&text))) {
    text_ = text ? std::wstring(text, SysStringLen(text)) : std::wstring();
    SysFreeString(text);
  }
}

int UIEdit::TimerIndexFor(UINT id) {
  for (const auto& t : timers_) {
    if (t.second == id)
      return t.first;
  }
  // Index 0 stays free for the control's own use.
  int index = 1;
  while (timers_.count(index))
    ++index;
  timers_[index] = id;
  return index;
}

bool UIEdit::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  bool known = true;
  if (name == L"readonly") {
    site_.SetReadOnly(ParseBool(value));
    if (services_)
      services_->OnTxPropertyBitsChange(TXTBIT_READONLY, site_.PropertyBits());
  } else if (name == L"font" || name == L"clr") {
    if (name == L"font")
      site_.SetFont(value);
    else
      site_.SetTextColour(ToColorRef(ParseColor(value)));
    if (services_)
      services_->OnTxPropertyBitsChange(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
    Invalidate();
  } else {
    known = false;
  }
  return UIControl::ApplyAttribute(name, value) || known;
}

void UIEdit::Paint(Gdiplus::Graphics& graphics) {
  UIControl::Paint(graphics);
  int w = GetWidth(), h = GetHeight();
  if (w <= 0 || h <= 0 || !EnsureServices())
    return;
  BITMAPINFO info = TopDownDibInfo(w, h);
  void* bits = nullptr;
  ScopedGdiObject bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  ScopedMemoryDc dc(CreateCompatibleDC(nullptr));
  if (!bitmap || !dc || !bits)
    return;
  HGDIOBJ old = SelectObject(dc.get(), bitmap.get());
  auto* pixels = static_cast<uint32_t*>(bits);
  const size_t count = static_cast<size_t>(w) * static_cast<size_t>(h);
  std::fill(pixels, pixels + count, 0x00FFFFFFu);
  RECT r = WindowRect();
  SetViewportOrgEx(dc.get(), -r.left, -r.top, nullptr);
  RECTL bounds = {r.left, r.top, r.right, r.bottom};
  services_->TxDraw(DVASPECT_CONTENT, 0, nullptr, nullptr, dc.get(), nullptr, &bounds, nullptr,
                    nullptr, nullptr, 0, TXTVIEW_ACTIVE);
  GdiFlush();
  // GDI leaves alpha at 0: the field is made opaque.
  for (size_t i = 0; i < count; ++i)
    pixels[i] |= 0xFF000000u;
  {
    Gdiplus::Bitmap image(w, h, w * 4, PixelFormat32bppARGB, static_cast<BYTE*>(bits));
    graphics.DrawImage(&image, 0, 0, w, h);
  }
  SelectObject(dc.get(), old);
}

void UIEdit::OnMessage(UIMessage& m) {
  UINT message = m.message;
  WPARAM wparam = m.wparam;
  LPARAM lparam = m.lparam;
  switch (message) {
    case WM_SETTEXT:
      text_ = lparam ? reinterpret_cast<const wchar_t*>(lparam) : L"";
      if (services_) {
        syncing_ = true;
        services_->TxSetText(text_.c_str());
        syncing_ = false;
      }
      Invalidate();
      m.result = TRUE;
      return;
    case WM_CREATE:
      EnsureServices();
      break;
    case WM_SIZE:
      if (services_)
        services_->OnTxPropertyBitsChange(TXTBIT_CLIENTRECTCHANGE, TXTBIT_CLIENTRECTCHANGE);
      break;
    case WM_TIMER: {
      auto it = timers_.find(static_cast<int>(wparam));
      if (services_ && it != timers_.end()) {
        LRESULT ignored = 0;
        services_->TxSendMessage(WM_TIMER, it->second, 0, &ignored);
        return;
      }
      break;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (host_ && host_->GetFocusControl() != this)
        host_->SetFocusControl(GetHandle());
      [[fallthrough]];
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MOUSEWHEEL:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_IME_STARTCOMPOSITION:
    case WM_IME_ENDCOMPOSITION:
    case WM_IME_COMPOSITION:
    case WM_IME_CHAR:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_CUT:
    case WM_COPY:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
      if (EnsureServices()) {
        if (message == WM_SETFOCUS)
          services_->OnTxUIActivate();
        LRESULT answer = 0;
        HRESULT hr = services_->TxSendMessage(message, wparam, lparam, &answer);
        if (message == WM_KILLFOCUS) {
          services_->OnTxUIDeactivate();
          if (host_)
            host_->ShowCaret(false);
        }
        if (hr != S_MSG_KEY_IGNORED) {
          UIControl::OnMessage(m);
          m.result = answer;
          return;
        }
      }
      break;
    default:
      if (message >= EM_GETSEL && message < WM_USER + 256 && EnsureServices()) {
        services_->TxSendMessage(message, wparam, lparam, &m.result);
        return;
      }
      break;
  }
  UIControl::OnMessage(m);
}
