#include "ui/controls/UINativeEdit.h"

#include "sys/StringFormat.h"
#include "ui/core/UIValueParse.h"

UINativeEdit::~UINativeEdit() {
  // Before the font goes: the window may still be using it.
  DestroyNativeWindow();
}

bool UINativeEdit::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  bool* flag = name == L"nspassword"    ? &password_
               : name == L"nsmultiline" ? &multiLine_
               : name == L"nsborder"    ? &border_
                                        : nullptr;
  bool known = true;
  if (flag) {
    bool on = ParseBool(value);
    if (on != *flag) {
      *flag = on;
      RecreateNativeWindow();
    }
  } else if (name == L"font") {
    fontPixels_ = ParseDecimal(value);  // the leading size of a font description
    if (fontPixels_ <= 0)
      fontPixels_ = 16;
    ApplyFont();
  } else {
    known = false;
  }
  return UIControl::ApplyAttribute(name, value) || known;
}

DWORD UINativeEdit::NativeStyle() const {
  DWORD style = ES_AUTOHSCROLL | WS_TABSTOP;
  if (password_)
    style |= ES_PASSWORD;
  if (multiLine_)
    style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL;
  if (border_)
    style |= WS_BORDER;
  return style;
}

void UINativeEdit::ApplyFont() {
  ScopedGdiObject font(CreateFontW(-fontPixels_, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                   DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                   DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Arial"));
  if (native_ && font)
    ::SendMessageW(native_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  // The previous font dies only once the window has let go of it.
  font_ = std::move(font);
}

void UINativeEdit::OnNativeCreated() {
  if (!font_)
    ApplyFont();
  else
    ::SendMessageW(native_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
}

void UINativeEdit::ReadWindowText() {
  if (!native_)
    return;
  int length = GetWindowTextLengthW(native_);
  std::wstring s(static_cast<size_t>(length) + 1, L'\0');
  s.resize(static_cast<size_t>(GetWindowTextW(native_, &s[0], length + 1)));
  text_ = s;
}

void UINativeEdit::OnNativeMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT result) {
  switch (message) {
    case WM_CHAR:
    case WM_KEYDOWN:
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
    case EM_REPLACESEL:
    case WM_SETTEXT:
    case WM_IME_CHAR:
    case WM_IME_COMPOSITION:
      if (!syncing_)
        ReadWindowText();
      break;
    default:
      break;
  }
  if (message == WM_CHAR && wparam == VK_RETURN)
    FireEvent("vkreturn", 0, 0);
}

void UINativeEdit::OnMessage(UIMessage& message) {
  if (message.message != WM_SETTEXT) {
    UINativeCtrl::OnMessage(message);
    return;
  }
  text_ = message.lparam ? reinterpret_cast<const wchar_t*>(message.lparam) : L"";
  if (native_) {
    syncing_ = true;
    SetWindowTextW(native_, text_.c_str());
    syncing_ = false;
  }
  message.result = TRUE;
}
