#include "ui/controls/UIEditCtrl.h"

#include <imm.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "ui/controls/UIControlPaint.h"
#include "ui/core/UIGraphics.h"
#include "ui/core/UIRenderText.h"
#include "ui/core/UIValueParse.h"

namespace {

constexpr Gdiplus::ARGB kSelectionColour = 0xFF3399FF;
constexpr Gdiplus::ARGB kInactiveSelectionColour = 0xFFD5D5D5;
constexpr Gdiplus::ARGB kSelectionTextColour = 0xFFFFFFFF;
constexpr Gdiplus::ARGB kDisabledTextColour = 0xFFA0A0A0;
constexpr Gdiplus::ARGB kCompositionBack = 0xFFFFFFFF;
constexpr int kMaxLimit = 0x7FFFFFFE;
constexpr wchar_t kDefaultPasswordChar = 0x25CF;
constexpr int kMultiLineTop = 3;
constexpr int kImeTimer = 1;
constexpr UINT kImeTimerMs = 1000;

struct StyleName {
  const wchar_t* name;
  DWORD flag;
};

const StyleName kStyleNames[] = {
    {L"ES_CENTER", ES_CENTER},           {L"ES_RIGHT", ES_RIGHT},
    {L"ES_MULTILINE", ES_MULTILINE},     {L"ES_UPPERCASE", ES_UPPERCASE},
    {L"ES_LOWERCASE", ES_LOWERCASE},     {L"ES_PASSWORD", ES_PASSWORD},
    {L"ES_AUTOVSCROLL", ES_AUTOVSCROLL}, {L"ES_AUTOHSCROLL", ES_AUTOHSCROLL},
    {L"ES_NOHIDESEL", ES_NOHIDESEL},     {L"ES_OEMCONVERT", ES_OEMCONVERT},
    {L"ES_READONLY", ES_READONLY},       {L"ES_WANTRETURN", ES_WANTRETURN},
    {L"ES_NUMBER", ES_NUMBER},
};

bool IsBreak(wchar_t c) {
  return c == L'\r' || c == L'\n';
}

bool IsSpace(wchar_t c) {
  return c == L' ' || c == L'\t' || c == 0x3000 || IsBreak(c);
}

bool KeyDown(int key) {
  return (GetKeyState(key) & 0x8000) != 0;
}

// Typographic, one line, trailing spaces measured: widths add up along a line.
std::unique_ptr<Gdiplus::StringFormat> LineFormat() {
  std::unique_ptr<Gdiplus::StringFormat> format(
      Gdiplus::StringFormat::GenericTypographic()->Clone());
  format->SetFormatFlags(format->GetFormatFlags() |
                         Gdiplus::StringFormatFlagsMeasureTrailingSpaces |
                         Gdiplus::StringFormatFlagsNoWrap);
  return format;
}

// Owns the clipboard for the scope of one operation.
class ClipboardScope {
 public:
  explicit ClipboardScope(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
  ~ClipboardScope() {
    if (open_)
      CloseClipboard();
  }
  ClipboardScope(const ClipboardScope&) = delete;
  ClipboardScope& operator=(const ClipboardScope&) = delete;
  bool open() const { return open_; }

 private:
  bool open_;
};

// The IME context of a window, released at the end of the scope.
class ImeContext {
 public:
  explicit ImeContext(HWND hwnd) : hwnd_(hwnd), himc_(hwnd ? ImmGetContext(hwnd) : nullptr) {}
  ~ImeContext() {
    if (himc_)
      ImmReleaseContext(hwnd_, himc_);
  }
  ImeContext(const ImeContext&) = delete;
  ImeContext& operator=(const ImeContext&) = delete;
  HIMC get() const { return himc_; }

 private:
  HWND hwnd_;
  HIMC himc_;
};

std::wstring CompositionString(HIMC himc, DWORD kind) {
  LONG bytes = ImmGetCompositionStringW(himc, kind, nullptr, 0);
  if (bytes <= 0)
    return {};
  std::wstring s(static_cast<size_t>(bytes) / sizeof(wchar_t), L'\0');
  ImmGetCompositionStringW(himc, kind, &s[0], static_cast<DWORD>(bytes));
  return s;
}

}  // namespace

UIEditCtrl::UIEditCtrl() : hintRender_(new UIRenderText) {
  SetFocusable(true);
  cursor_ = IDC_IBEAM;
  hintRender_->SetAttribute(L"clr", L"0xFFB3B3B3");
  hintRender_->SetAttribute(L"font", fontDesc_);
}

UIEditCtrl::~UIEditCtrl() {
  hintRender_->Release();
}

bool UIEditCtrl::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  bool known = true;
  if (name == L"clr") {
    colour_ = ParseColor(value);
    Invalidate();
  } else if (name == L"clrhint") {
    hintRender_->SetAttribute(L"clr", value);
    Invalidate();
  } else if (name == L"hint") {
    hint_ = value;
    Invalidate();
  } else if (name == L"font") {
    fontDesc_ = value;
    hintRender_->SetAttribute(L"font", value);
    MarkLayoutDirty();
    Invalidate();
  } else if (name == L"editstyle") {
    DWORD style = 0;
    for (const StyleName& s : kStyleNames) {
      if (value.find(s.name) != std::wstring::npos)
        style |= s.flag;
    }
    SetStyle(style);
  } else {
    known = false;
  }
  return UIControl::ApplyAttribute(name, value) || known;
}

void UIEditCtrl::SetStyle(DWORD style) {
  style_ = style;
  if (style_ & ES_PASSWORD) {
    if (!passwordChar_)
      passwordChar_ = kDefaultPasswordChar;
  } else {
    passwordChar_ = 0;
  }
  hintRender_->SetAttribute(L"vert", IsMultiLine() ? L"0" : L"1");
  if (!IsMultiLine()) {
    // A single-line edit cannot hold line breaks.
    size_t cut = text_.find_first_of(L"\r\n");
    if (cut != std::wstring::npos) {
      text_.erase(cut);
      canUndo_ = false;
    }
  }
  firstLine_ = 0;
  scrollX_ = 0;
  SetSelection(std::min(anchor_, Length()), std::min(caret_, Length()));
  MarkLayoutDirty();
  Invalidate();
}

bool UIEditCtrl::HasFocus() const {
  return host_ && host_->GetFocusControl() == this;
}

bool UIEditCtrl::ShowsHint() const {
  return text_.empty() && !hint_.empty() && !HasFocus();
}

wchar_t UIEditCtrl::DisplayChar(int index) const {
  if (passwordChar_)
    return passwordChar_;
  wchar_t c = text_[index];
  return c == L'\t' ? L' ' : c;
}

std::wstring UIEditCtrl::DisplayText(int start, int length) const {
  std::wstring s;
  s.reserve(static_cast<size_t>(length));
  for (int i = start; i < start + length; ++i)
    s.push_back(DisplayChar(i));
  return s;
}

Gdiplus::Font* UIEditCtrl::Font() const {
  return HostFontLookup(this)(fontDesc_);
}

// --- Layout.

void UIEditCtrl::MarkLayoutDirty() {
  layoutDirty_ = true;
}

int UIEditCtrl::TextWidth() const {
  return std::max(1, GetWidth() - marginLeft_ - marginRight_);
}

int UIEditCtrl::TextTop() const {
  if (IsMultiLine())
    return kMultiLineTop;
  return std::max(0, (GetHeight() - lineHeight_) / 2);
}

int UIEditCtrl::VisibleLines() const {
  if (!IsMultiLine())
    return 1;
  return std::max(1, (GetHeight() - 2 * kMultiLineTop) / std::max(1, lineHeight_));
}

float UIEditCtrl::CharWidth(Gdiplus::Graphics& g,
                            Gdiplus::Font* font,
                            const Gdiplus::StringFormat* format,
                            int index) {
  wchar_t c = DisplayChar(index);
  if (IS_LOW_SURROGATE(c) && !passwordChar_)
    return 0;  // measured with its high half
  bool pair = IS_HIGH_SURROGATE(c) && !passwordChar_ && index + 1 < Length();
  if (!pair) {
    auto it = widths_.find(c);
    if (it != widths_.end())
      return it->second;
  }
  wchar_t units[2] = {c, pair ? text_[index + 1] : L'\0'};
  Gdiplus::RectF box;
  g.MeasureString(units, pair ? 2 : 1, font, Gdiplus::PointF(0, 0), format, &box);
  if (!pair)
    widths_[c] = box.Width;
  return box.Width;
}

void UIEditCtrl::EnsureLayout() {
  if (layoutWidth_ != GetWidth())
    layoutDirty_ = true;
  if (!layoutDirty_)
    return;
  layoutDirty_ = false;
  layoutWidth_ = GetWidth();
  lines_.clear();
  maxLineWidth_ = 0;
  Gdiplus::Font* font = Font();
  Gdiplus::Bitmap scratch(1, 1, PixelFormat32bppARGB);
  Gdiplus::Graphics g(&scratch);
  g.SetPageUnit(Gdiplus::UnitPixel);
  g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
  if (font != widthFont_) {
    widths_.clear();
    widthFont_ = font;
  }
  std::unique_ptr<Gdiplus::StringFormat> format = LineFormat();
  lineHeight_ = font ? std::max(1, static_cast<int>(std::ceil(font->GetHeight(&g)))) : 16;
  bool multi = IsMultiLine();
  bool wrap = WrapsLines();
  float avail = static_cast<float>(TextWidth());
  int n = Length();
  int i = 0;
  for (;;) {
    Line line;
    line.start = i;
    line.xs.push_back(0);
    int afterSpace = -1;
    bool brokeAtBreak = false;
    while (i < n) {
      wchar_t c = text_[i];
      if (multi && IsBreak(c)) {
        brokeAtBreak = true;
        break;
      }
      float w = font ? CharWidth(g, font, format.get(), i) : 8.0f;
      if (wrap && c != L' ' && i > line.start && line.xs.back() + w > avail) {
        if (afterSpace > line.start) {
          line.xs.resize(static_cast<size_t>(afterSpace - line.start + 1));
          i = afterSpace;
        }
        break;
      }
      line.xs.push_back(line.xs.back() + w);
      ++i;
      if (c == L' ')
        afterSpace = i;
    }
    line.length = i - line.start;
    maxLineWidth_ = std::max(maxLineWidth_, line.xs.back());
    lines_.push_back(std::move(line));
    if (brokeAtBreak) {
      i += (text_[i] == L'\r' && i + 1 < n && text_[i + 1] == L'\n') ? 2 : 1;
      continue;
    }
    if (i >= n)
      break;
  }
  ClampScroll();
}

int UIEditCtrl::LineOf(int index) {
  EnsureLayout();
  auto it = std::upper_bound(lines_.begin(), lines_.end(), index,
                             [](int v, const Line& l) { return v < l.start; });
  return std::max(0, static_cast<int>(it - lines_.begin()) - 1);
}

float UIEditCtrl::AlignOffset(const Line& line) const {
  float spare = static_cast<float>(TextWidth()) - line.xs.back();
  if (spare <= 0)
    return 0;
  if (style_ & ES_CENTER)
    return spare / 2;
  if (style_ & ES_RIGHT)
    return spare;
  return 0;
}

float UIEditCtrl::XOf(int index) {
  const Line& line = lines_[static_cast<size_t>(LineOf(index))];
  int k = std::min(std::max(index - line.start, 0), line.length);
  return AlignOffset(line) + line.xs[static_cast<size_t>(k)];
}

POINT UIEditCtrl::LocalCaretPoint() {
  int line = LineOf(caret_);
  int x = TextLeft() + static_cast<int>(std::lround(XOf(caret_))) - scrollX_;
  int y = TextTop() + (line - firstLine_) * lineHeight_;
  return {x, y};
}

int UIEditCtrl::IndexFromPoint(int x, int y) {
  EnsureLayout();
  int row = 0;
  if (IsMultiLine()) {
    int dy = y - TextTop();
    row = firstLine_ + (dy < 0 ? -1 : dy / lineHeight_);
  }
  row = std::min(std::max(row, 0), static_cast<int>(lines_.size()) - 1);
  const Line& line = lines_[static_cast<size_t>(row)];
  float rel = static_cast<float>(x - TextLeft() + scrollX_) - AlignOffset(line);
  int best = 0;
  for (int k = 1; k <= line.length; ++k) {
    float mid = (line.xs[static_cast<size_t>(k - 1)] + line.xs[static_cast<size_t>(k)]) / 2;
    if (rel >= mid)
      best = k;
  }
  return Snap(line.start + best, false);
}

int UIEditCtrl::Snap(int index, bool forward) const {
  index = std::min(std::max(index, 0), Length());
  if (index > 0 && index < Length()) {
    wchar_t before = text_[index - 1], at = text_[index];
    bool inside =
        (before == L'\r' && at == L'\n') || (IS_HIGH_SURROGATE(before) && IS_LOW_SURROGATE(at));
    if (inside)
      index += forward ? 1 : -1;
  }
  return index;
}

void UIEditCtrl::ClampScroll() {
  int total = static_cast<int>(lines_.size());
  firstLine_ = std::min(std::max(firstLine_, 0), std::max(0, total - VisibleLines()));
  if (WrapsLines()) {
    scrollX_ = 0;
    return;
  }
  int maxScroll = std::max(0, static_cast<int>(std::ceil(maxLineWidth_)) + 1 - TextWidth());
  scrollX_ = std::min(std::max(scrollX_, 0), maxScroll);
}

void UIEditCtrl::EnsureCaretVisible() {
  EnsureLayout();
  int line = LineOf(caret_);
  if (line < firstLine_)
    firstLine_ = line;
  else if (line >= firstLine_ + VisibleLines())
    firstLine_ = line - VisibleLines() + 1;
  if (!WrapsLines()) {
    int x = static_cast<int>(std::lround(XOf(caret_)));
    int width = TextWidth();
    int step = std::max(1, width / 4);
    if (x < scrollX_)
      scrollX_ = std::max(0, x - step);
    else if (x > scrollX_ + width - 1)
      scrollX_ = x - width + 1 + step;
  }
  ClampScroll();
}

// --- Editing.

std::wstring UIEditCtrl::FilterInput(const std::wstring& input) const {
  std::wstring out;
  out.reserve(input.size());
  if (!IsMultiLine()) {
    out = input.substr(0, input.find_first_of(L"\r\n"));
  } else {
    for (size_t i = 0; i < input.size(); ++i) {
      wchar_t c = input[i];
      if (c == L'\r' || c == L'\n') {
        out += L"\r\n";
        if (c == L'\r' && i + 1 < input.size() && input[i + 1] == L'\n')
          ++i;
      } else {
        out.push_back(c);
      }
    }
  }
  if (style_ & (ES_UPPERCASE | ES_LOWERCASE)) {
    if (!out.empty()) {
      if (style_ & ES_UPPERCASE)
        CharUpperBuffW(&out[0], static_cast<DWORD>(out.size()));
      else
        CharLowerBuffW(&out[0], static_cast<DWORD>(out.size()));
    }
  }
  return out;
}

bool UIEditCtrl::Replace(int from, int to, std::wstring insert, UndoKind kind, bool notify) {
  from = std::min(std::max(from, 0), Length());
  to = std::min(std::max(to, from), Length());
  insert = FilterInput(insert);
  int room = limit_ - (Length() - (to - from));
  if (room < static_cast<int>(insert.size())) {
    insert.resize(static_cast<size_t>(std::max(room, 0)));
    if (!insert.empty() && IS_HIGH_SURROGATE(insert.back()))
      insert.pop_back();
    Notify(EN_MAXTEXT);
  }
  if (from == to && insert.empty())
    return false;
  std::wstring removed = text_.substr(static_cast<size_t>(from), static_cast<size_t>(to - from));
  bool merged = false;
  if (canUndo_ && kind == lastKind_) {
    int end = undo_.pos + static_cast<int>(undo_.inserted.size());
    if (kind == UndoKind::kTyping && removed.empty() && from == end) {
      undo_.inserted += insert;
      merged = true;
    } else if (kind == UndoKind::kBackspace && insert.empty() && undo_.inserted.empty() &&
               to == undo_.pos) {
      undo_.removed = removed + undo_.removed;
      undo_.pos = from;
      merged = true;
    } else if (kind == UndoKind::kDelete && insert.empty() && undo_.inserted.empty() &&
               from == undo_.pos) {
      undo_.removed += removed;
      merged = true;
    }
  }
  if (kind == UndoKind::kNone) {
    canUndo_ = false;  // the record no longer matches the text
  } else if (!merged) {
    undo_ = {from, removed, insert};
    canUndo_ = true;
  }
  lastKind_ = kind;
  text_.replace(static_cast<size_t>(from), static_cast<size_t>(to - from), insert);
  anchor_ = caret_ = from + static_cast<int>(insert.size());
  goalX_ = -1;
  modified_ = true;
  MarkLayoutDirty();
  AfterCaretMove();
  if (notify)
    Notify(EN_CHANGE);
  return true;
}

void UIEditCtrl::ReplaceSelectionByUser(const std::wstring& insert, UndoKind kind) {
  if (IsReadOnly())
    return;
  Replace(SelStart(), SelEnd(), insert, kind);
}

bool UIEditCtrl::Undo() {
  if (!canUndo_ || IsReadOnly())
    return false;
  UndoRecord record = undo_;
  if (record.pos + record.inserted.size() > text_.size())
    return false;
  text_.replace(static_cast<size_t>(record.pos), record.inserted.size(), record.removed);
  // The next undo puts back what this one took away.
  undo_ = {record.pos, record.inserted, record.removed};
  lastKind_ = UndoKind::kNone;
  anchor_ = record.pos;
  caret_ = record.pos + static_cast<int>(record.removed.size());
  modified_ = true;
  MarkLayoutDirty();
  AfterCaretMove();
  Notify(EN_CHANGE);
  return true;
}

void UIEditCtrl::SetSelection(int anchor, int caret) {
  anchor_ = Snap(anchor, false);
  caret_ = Snap(caret, true);
}

void UIEditCtrl::MoveCaret(int index, bool extend) {
  caret_ = Snap(index, index >= caret_);
  if (!extend)
    anchor_ = caret_;
  lastKind_ = UndoKind::kNone;
  AfterCaretMove();
}

void UIEditCtrl::AfterCaretMove() {
  EnsureCaretVisible();
  UpdateCaret();
  Invalidate();
}

void UIEditCtrl::SetTextFromMessage(const wchar_t* text) {
  text_ = text ? text : L"";
  if (!IsMultiLine()) {
    size_t cut = text_.find_first_of(L"\r\n");
    if (cut != std::wstring::npos)
      text_.erase(cut);
  }
  anchor_ = caret_ = 0;
  firstLine_ = 0;
  scrollX_ = 0;
  goalX_ = -1;
  canUndo_ = false;
  lastKind_ = UndoKind::kNone;
  modified_ = false;
  MarkLayoutDirty();
  AfterCaretMove();
  // As the system's edit: a multi-line edit does not report text set by WM_SETTEXT.
  if (!IsMultiLine())
    Notify(EN_CHANGE);
}

void UIEditCtrl::SelectWordAt(int index) {
  int n = Length();
  if (n == 0)
    return;
  int at = std::min(index, n - 1);
  if (index == n || (index > 0 && IsBreak(text_[at]) && !IsBreak(text_[index - 1])))
    at = index - 1;
  auto kind = [this](int i) { return IsBreak(text_[i]) ? 2 : IsSpace(text_[i]) ? 1 : 0; };
  int k = kind(at);
  int start = at, end = at + 1;
  while (start > 0 && kind(start - 1) == k)
    --start;
  while (end < n && kind(end) == k)
    ++end;
  anchor_ = Snap(start, false);
  caret_ = Snap(end, true);
  lastKind_ = UndoKind::kNone;
  AfterCaretMove();
}

int UIEditCtrl::WordLeft(int index) const {
  while (index > 0 && IsSpace(text_[index - 1]))
    --index;
  while (index > 0 && !IsSpace(text_[index - 1]))
    --index;
  return index;
}

int UIEditCtrl::WordRight(int index) const {
  int n = Length();
  while (index < n && !IsSpace(text_[index]))
    ++index;
  while (index < n && IsSpace(text_[index]))
    ++index;
  return index;
}

void UIEditCtrl::Copy() {
  if (passwordChar_ || SelStart() == SelEnd() || !host_)
    return;
  std::wstring s =
      text_.substr(static_cast<size_t>(SelStart()), static_cast<size_t>(SelEnd() - SelStart()));
  ClipboardScope clipboard(host_->GetHwnd());
  if (!clipboard.open())
    return;
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (s.size() + 1) * sizeof(wchar_t));
  if (!block)
    return;
  void* to = GlobalLock(block);
  if (!to) {
    GlobalFree(block);
    return;
  }
  memcpy(to, s.c_str(), (s.size() + 1) * sizeof(wchar_t));
  GlobalUnlock(block);
  if (!SetClipboardData(CF_UNICODETEXT, block))
    GlobalFree(block);
}

void UIEditCtrl::Cut() {
  if (passwordChar_ || IsReadOnly())
    return;
  Copy();
  Clear();
}

void UIEditCtrl::Paste() {
  if (IsReadOnly() || !host_)
    return;
  std::wstring s;
  {
    ClipboardScope clipboard(host_->GetHwnd());
    if (!clipboard.open())
      return;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const wchar_t* p = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
    if (!p)
      return;
    // Another program need not end its text inside the block.
    const wchar_t* end = p + GlobalSize(data) / sizeof(wchar_t);
    s.assign(p, std::find(p, end, L'\0'));
    GlobalUnlock(data);
  }
  if (style_ & ES_NUMBER) {
    s.erase(std::remove_if(s.begin(), s.end(), [](wchar_t c) { return c < L'0' || c > L'9'; }),
            s.end());
  }
  ReplaceSelectionByUser(s, UndoKind::kOther);
}

void UIEditCtrl::Clear() {
  if (SelStart() != SelEnd())
    ReplaceSelectionByUser(std::wstring(), UndoKind::kOther);
}

void UIEditCtrl::Notify(int code) {
  FireEvent("edit_notify", code, 0);
}

// --- Input.

void UIEditCtrl::OnKeyDown(WPARAM key) {
  bool shift = KeyDown(VK_SHIFT);
  bool ctrl = KeyDown(VK_CONTROL);
  EnsureLayout();
  int line = LineOf(caret_);
  const Line& current = lines_[static_cast<size_t>(line)];
  auto vertical = [&](int rows) {
    if (!IsMultiLine()) {
      MoveCaret(rows < 0 ? Snap(caret_ - 1, false) : Snap(caret_ + 1, true), shift);
      return;
    }
    if (goalX_ < 0)
      goalX_ = XOf(caret_);
    float goal = goalX_;
    int target = std::min(std::max(line + rows, 0), static_cast<int>(lines_.size()) - 1);
    if (target != line) {
      if (target < firstLine_ || target >= firstLine_ + VisibleLines())
        firstLine_ = std::max(0, firstLine_ + rows);
      ClampScroll();
      int y = TextTop() + (target - firstLine_) * lineHeight_;
      int x = TextLeft() + static_cast<int>(std::lround(goal)) - scrollX_;
      int index = IndexFromPoint(x, y);
      MoveCaret(index, shift);
    } else {
      MoveCaret(rows < 0 ? current.start : current.start + current.length, shift);
    }
    goalX_ = goal;
  };
  switch (key) {
    case VK_LEFT:
      if (!shift && SelStart() != SelEnd() && !ctrl)
        MoveCaret(SelStart(), false);
      else
        MoveCaret(ctrl ? WordLeft(caret_) : Snap(caret_ - 1, false), shift);
      break;
    case VK_RIGHT:
      if (!shift && SelStart() != SelEnd() && !ctrl)
        MoveCaret(SelEnd(), false);
      else
        MoveCaret(ctrl ? WordRight(caret_) : Snap(caret_ + 1, true), shift);
      break;
    case VK_UP:
      vertical(-1);
      break;
    case VK_DOWN:
      vertical(1);
      break;
    case VK_PRIOR:
      vertical(-VisibleLines());
      break;
    case VK_NEXT:
      vertical(VisibleLines());
      break;
    case VK_HOME:
      MoveCaret(ctrl ? 0 : current.start, shift);
      break;
    case VK_END:
      MoveCaret(ctrl ? Length() : current.start + current.length, shift);
      break;
    case VK_DELETE:
      if (shift) {
        Cut();
      } else if (SelStart() != SelEnd()) {
        ReplaceSelectionByUser(std::wstring(), UndoKind::kOther);
      } else if (caret_ < Length() && !IsReadOnly()) {
        Replace(caret_, Snap(caret_ + 1, true), std::wstring(), UndoKind::kDelete);
      }
      break;
    case VK_INSERT:
      if (ctrl)
        Copy();
      else if (shift)
        Paste();
      break;
    default:
      break;
  }
}

void UIEditCtrl::OnChar(wchar_t c) {
  switch (c) {
    case 1:  // Ctrl+A
      SetSelection(0, Length());
      AfterCaretMove();
      return;
    case 3:  // Ctrl+C
      Copy();
      return;
    case 22:  // Ctrl+V
      Paste();
      return;
    case 24:  // Ctrl+X
      Cut();
      return;
    case 26:  // Ctrl+Z
      Undo();
      return;
    case VK_BACK:
      if (IsReadOnly())
        return;
      if (SelStart() != SelEnd())
        ReplaceSelectionByUser(std::wstring(), UndoKind::kOther);
      else if (caret_ > 0)
        Replace(Snap(caret_ - 1, false), caret_, std::wstring(), UndoKind::kBackspace);
      return;
    case L'\r':
      if (IsMultiLine() && ((style_ & ES_WANTRETURN) || KeyDown(VK_CONTROL)))
        ReplaceSelectionByUser(L"\r\n", UndoKind::kOther);
      return;
    default:
      break;
  }
  if (c < 32 || c == 127)
    return;
  if ((style_ & ES_NUMBER) && (c < L'0' || c > L'9'))
    return;
  ReplaceSelectionByUser(std::wstring(1, c), UndoKind::kTyping);
}

void UIEditCtrl::OnMouse(UINT message, WPARAM wparam, LPARAM lparam) {
  RECT at = WindowRect();
  int x = GET_X_LPARAM(lparam) - at.left;
  int y = GET_Y_LPARAM(lparam) - at.top;
  switch (message) {
    case WM_LBUTTONDOWN: {
      if (host_ && !HasFocus())
        host_->SetFocusControl(GetHandle());
      int index = IndexFromPoint(x, y);
      MoveCaret(index, (wparam & MK_SHIFT) != 0);
      goalX_ = -1;
      mouseSelecting_ = host_ && host_->SetCapture(GetHandle());
      break;
    }
    case WM_LBUTTONDBLCLK:
      SelectWordAt(IndexFromPoint(x, y));
      break;
    case WM_MOUSEMOVE:
      if (mouseSelecting_ && (wparam & MK_LBUTTON))
        MoveCaret(IndexFromPoint(x, y), true);
      break;
    case WM_LBUTTONUP:
      if (mouseSelecting_) {
        mouseSelecting_ = false;
        if (host_ && host_->GetCaptureHandle() == GetHandle())
          host_->ReleaseCapture();
      }
      break;
    default:
      break;
  }
}

void UIEditCtrl::OnFocus(bool gained) {
  if (!host_)
    return;
  if (gained) {
    EnsureLayout();
    host_->CreateCaret(this, nullptr, 1, lineHeight_);
    UpdateCaret();
    host_->ShowCaret(true);
    Notify(EN_SETFOCUS);
  } else {
    if (composing_) {
      ImeContext ime(host_->GetHwnd());
      if (ime.get())
        ImmNotifyIME(ime.get(), NI_COMPOSITIONSTR, CPS_CANCEL, 0);
      composing_ = false;
      composition_.clear();
    }
    host_->ShowCaret(false);
    KillTimer(kImeTimer);
    if (mouseSelecting_ && host_->GetCaptureHandle() == GetHandle())
      host_->ReleaseCapture();
    mouseSelecting_ = false;
    Notify(EN_KILLFOCUS);
  }
  Invalidate();
}

void UIEditCtrl::UpdateCaret() {
  if (!host_ || !HasFocus())
    return;
  POINT p = LocalCaretPoint();
  if (composing_ && !composition_.empty()) {
    Gdiplus::Size size = MeasureText(composition_, Font());
    p.x += size.Width - 1;
  }
  RECT at = WindowRect();
  // Restart the blink so the caret stays solid while it moves.
  host_->ShowCaret(false);
  host_->SetCaretPos(at.left + p.x, at.top + p.y);
  host_->ShowCaret(true);
  SetTimer(kImeTimer, kImeTimerMs);
  PlaceImeWindows();
}

void UIEditCtrl::PlaceImeWindows() {
  if (!host_)
    return;
  ImeContext ime(host_->GetHwnd());
  if (!ime.get())
    return;
  POINT p = LocalCaretPoint();
  RECT at = WindowRect();
  COMPOSITIONFORM form = {};
  form.dwStyle = CFS_POINT;
  form.ptCurrentPos = {at.left + p.x, at.top + p.y};
  ImmSetCompositionWindow(ime.get(), &form);
  CANDIDATEFORM candidate = {};
  candidate.dwIndex = 0;
  candidate.dwStyle = CFS_CANDIDATEPOS;
  candidate.ptCurrentPos = {at.left + p.x, at.top + p.y + lineHeight_};
  ImmSetCandidateWindow(ime.get(), &candidate);
}

bool UIEditCtrl::OnImeMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_IME_STARTCOMPOSITION:
      composing_ = true;
      composition_.clear();
      PlaceImeWindows();
      return true;
    case WM_IME_ENDCOMPOSITION:
      composing_ = false;
      composition_.clear();
      UpdateCaret();
      Invalidate();
      return true;
    case WM_IME_COMPOSITION: {
      ImeContext ime(host_ ? host_->GetHwnd() : nullptr);
      if (!ime.get())
        return false;
      if (lparam & GCS_RESULTSTR) {
        std::wstring result = CompositionString(ime.get(), GCS_RESULTSTR);
        composition_.clear();
        if (!IsReadOnly() && !passwordChar_)
          ReplaceSelectionByUser(result, UndoKind::kTyping);
      }
      if (lparam & GCS_COMPSTR)
        composition_ = CompositionString(ime.get(), GCS_COMPSTR);
      UpdateCaret();
      Invalidate();
      return true;
    }
    case WM_IME_CHAR:
      if (wparam >= 32 && !IsReadOnly())
        OnChar(static_cast<wchar_t>(wparam));
      return true;
    default:
      return false;
  }
}

void UIEditCtrl::OnScroll(bool vertical, int code, int thumb) {
  EnsureLayout();
  if (vertical) {
    int lines = static_cast<int>(lines_.size());
    switch (code) {
      case SB_LINEUP:
        --firstLine_;
        break;
      case SB_LINEDOWN:
        ++firstLine_;
        break;
      case SB_PAGEUP:
        firstLine_ -= VisibleLines();
        break;
      case SB_PAGEDOWN:
        firstLine_ += VisibleLines();
        break;
      case SB_TOP:
        firstLine_ = 0;
        break;
      case SB_BOTTOM:
        firstLine_ = lines;
        break;
      case SB_THUMBPOSITION:
      case SB_THUMBTRACK:
        firstLine_ = thumb;
        break;
      default:
        return;
    }
  } else {
    int step = std::max(1, lineHeight_ / 2);
    switch (code) {
      case SB_LINELEFT:
        scrollX_ -= step;
        break;
      case SB_LINERIGHT:
        scrollX_ += step;
        break;
      case SB_PAGELEFT:
        scrollX_ -= TextWidth();
        break;
      case SB_PAGERIGHT:
        scrollX_ += TextWidth();
        break;
      case SB_LEFT:
        scrollX_ = 0;
        break;
      case SB_RIGHT:
        scrollX_ = static_cast<int>(maxLineWidth_);
        break;
      case SB_THUMBPOSITION:
      case SB_THUMBTRACK:
        scrollX_ = thumb;
        break;
      default:
        return;
    }
  }
  ClampScroll();
  UpdateCaret();
  Invalidate();
}

void UIEditCtrl::ShowContextMenu(int screenX, int screenY) {
  if (!host_)
    return;
  HMENU menu = CreatePopupMenu();
  if (!menu)
    return;
  bool selection = SelStart() != SelEnd();
  bool writable = !IsReadOnly();
  auto add = [menu](UINT id, const wchar_t* text, bool enabled) {
    AppendMenuW(menu, MF_STRING | (enabled ? 0 : MF_GRAYED), id, text);
  };
  add(WM_UNDO, L"撤销(&U)", writable && canUndo_);
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  add(WM_CUT, L"剪切(&T)", writable && selection && !passwordChar_);
  add(WM_COPY, L"复制(&C)", selection && !passwordChar_);
  add(WM_PASTE, L"粘贴(&P)", writable && IsClipboardFormatAvailable(CF_UNICODETEXT));
  add(WM_CLEAR, L"删除(&D)", writable && selection);
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  add(EM_SETSEL, L"全选(&A)", Length() > 0);
  UINT chosen = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, screenX,
                                                 screenY, 0, host_->GetHwnd(), nullptr));
  DestroyMenu(menu);
  if (chosen == EM_SETSEL)
    SendMessage(EM_SETSEL, 0, -1);
  else if (chosen)
    SendMessage(chosen);
}

// --- Messages.

LRESULT UIEditCtrl::OnEditMessage(UINT message, WPARAM wparam, LPARAM lparam, bool* handled) {
  *handled = true;
  EnsureLayout();
  int n = Length();
  switch (message) {
    case EM_GETSEL:
      if (wparam)
        *reinterpret_cast<DWORD*>(wparam) = static_cast<DWORD>(SelStart());
      if (lparam)
        *reinterpret_cast<DWORD*>(lparam) = static_cast<DWORD>(SelEnd());
      return MAKELRESULT(std::min(SelStart(), 0xFFFF), std::min(SelEnd(), 0xFFFF));
    case EM_SETSEL: {
      int start = static_cast<int>(wparam), end = static_cast<int>(lparam);
      if (start < 0) {
        SetSelection(caret_, caret_);
      } else {
        if (end < 0 || end > n)
          end = n;
        SetSelection(std::min(start, n), end);
      }
      lastKind_ = UndoKind::kNone;
      AfterCaretMove();
      return 0;
    }
    case EM_GETRECT:
      if (lparam) {
        *reinterpret_cast<RECT*>(lparam) = {TextLeft(), TextTop(), TextLeft() + TextWidth(),
                                            GetHeight() - (IsMultiLine() ? kMultiLineTop : 0)};
      }
      return 0;
    case EM_SETRECT:
    case EM_SETRECTNP:  // the formatting rectangle follows the margins (EM_SETMARGINS)
      return 0;
    case EM_SCROLL: {
      if (!IsMultiLine())
        return FALSE;
      int before = firstLine_;
      OnScroll(true, static_cast<int>(wparam), 0);
      return MAKELRESULT(static_cast<WORD>(firstLine_ - before), TRUE);
    }
    case EM_LINESCROLL:
      if (!IsMultiLine())
        return FALSE;
      firstLine_ += static_cast<int>(lparam);
      if (!WrapsLines())
        scrollX_ += static_cast<int>(wparam) * std::max(1, lineHeight_ / 2);
      ClampScroll();
      UpdateCaret();
      Invalidate();
      return TRUE;
    case EM_SCROLLCARET:
      EnsureCaretVisible();
      UpdateCaret();
      Invalidate();
      return TRUE;
    case EM_GETMODIFY:
      return modified_ ? TRUE : FALSE;
    case EM_SETMODIFY:
      modified_ = wparam != 0;
      return 0;
    case EM_GETLINECOUNT:
      return static_cast<LRESULT>(lines_.size());
    case EM_LINEINDEX: {
      int line = static_cast<int>(wparam);
      if (line < 0)
        line = LineOf(caret_);
      return line < static_cast<int>(lines_.size()) ? lines_[static_cast<size_t>(line)].start : -1;
    }
    case EM_LINELENGTH: {
      int index = static_cast<int>(wparam);
      if (index < 0) {
        // The unselected characters on the lines the selection touches.
        const Line& a = lines_[static_cast<size_t>(LineOf(SelStart()))];
        const Line& b = lines_[static_cast<size_t>(LineOf(SelEnd()))];
        return (SelStart() - a.start) + (b.start + b.length - SelEnd());
      }
      return lines_[static_cast<size_t>(LineOf(std::min(index, n)))].length;
    }
    case EM_GETLINE: {
      int line = static_cast<int>(wparam);
      if (!lparam || line < 0 || line >= static_cast<int>(lines_.size()))
        return 0;
      wchar_t* buffer = reinterpret_cast<wchar_t*>(lparam);
      const Line& l = lines_[static_cast<size_t>(line)];
      int count = std::min(l.length, static_cast<int>(*reinterpret_cast<WORD*>(buffer)));
      text_.copy(buffer, static_cast<size_t>(count), static_cast<size_t>(l.start));
      return count;
    }
    case EM_LIMITTEXT:  // EM_SETLIMITTEXT
      limit_ = wparam == 0 ? kMaxLimit : static_cast<int>(std::min<WPARAM>(wparam, kMaxLimit));
      return 0;
    case EM_GETLIMITTEXT:
      return limit_;
    case EM_CANUNDO:
      return canUndo_ ? TRUE : FALSE;
    case EM_UNDO:
      return Undo() ? TRUE : FALSE;
    case EM_EMPTYUNDOBUFFER:
      canUndo_ = false;
      lastKind_ = UndoKind::kNone;
      return 0;
    case EM_LINEFROMCHAR: {
      int index = static_cast<int>(wparam);
      return LineOf(index < 0 ? SelStart() : std::min(index, n));
    }
    case EM_SETPASSWORDCHAR:
      passwordChar_ = static_cast<wchar_t>(wparam);
      if (passwordChar_)
        style_ |= ES_PASSWORD;
      else
        style_ &= ~static_cast<DWORD>(ES_PASSWORD);
      MarkLayoutDirty();
      AfterCaretMove();
      return 0;
    case EM_GETPASSWORDCHAR:
      return passwordChar_;
    case EM_GETFIRSTVISIBLELINE:
      if (IsMultiLine())
        return firstLine_;
      return LineOf(0) == 0 ? IndexFromPoint(TextLeft(), TextTop()) : 0;
    case EM_SETREADONLY:
      if (wparam)
        style_ |= ES_READONLY;
      else
        style_ &= ~static_cast<DWORD>(ES_READONLY);
      Invalidate();
      return TRUE;
    case EM_SETMARGINS: {
      bool fontInfo = wparam == EC_USEFONTINFO;
      if (fontInfo || (wparam & EC_LEFTMARGIN))
        marginLeft_ = fontInfo ? lineHeight_ / 3 : LOWORD(lparam);
      if (fontInfo || (wparam & EC_RIGHTMARGIN))
        marginRight_ = fontInfo ? lineHeight_ / 3 : HIWORD(lparam);
      MarkLayoutDirty();
      AfterCaretMove();
      return 0;
    }
    case EM_GETMARGINS:
      return MAKELRESULT(marginLeft_, marginRight_);
    case EM_POSFROMCHAR: {
      int index = static_cast<int>(wparam);
      if (index < 0 || index > n)
        return -1;
      int line = LineOf(index);
      int x = TextLeft() + static_cast<int>(std::lround(XOf(index))) - scrollX_;
      int y = TextTop() + (line - firstLine_) * lineHeight_;
      return MAKELRESULT(static_cast<WORD>(x), static_cast<WORD>(y));
    }
    case EM_CHARFROMPOS: {
      int index = IndexFromPoint(GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
      return MAKELRESULT(static_cast<WORD>(index), static_cast<WORD>(LineOf(index)));
    }
    case EM_REPLACESEL:
      Replace(SelStart(), SelEnd(), lparam ? reinterpret_cast<const wchar_t*>(lparam) : L"",
              wparam ? UndoKind::kOther : UndoKind::kNone);
      if (!wparam)
        lastKind_ = UndoKind::kNone;
      return 0;
    case EM_SETTABSTOPS:
    case EM_FMTLINES:
    case EM_SETWORDBREAKPROC:
      return 0;
    default:
      *handled = false;
      return 0;
  }
}

void UIEditCtrl::OnMessage(UIMessage& message) {
  if (!HandleEditMessage(message.message, message.wparam, message.lparam, &message.result))
    UIControl::OnMessage(message);
}

bool UIEditCtrl::HandleEditMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  if (message >= EM_GETSEL && message <= EM_CHARFROMPOS) {
    bool handled = false;
    *result = OnEditMessage(message, wparam, lparam, &handled);
    if (handled)
      return true;
  }
  switch (message) {
    case WM_SETTEXT:
      SetTextFromMessage(reinterpret_cast<const wchar_t*>(lparam));
      *result = TRUE;
      return true;
    case WM_GETTEXT: {
      if (!wparam || !lparam) {
        *result = 0;
        return true;
      }
      size_t count = std::min(text_.size(), static_cast<size_t>(wparam) - 1);
      wchar_t* buffer = reinterpret_cast<wchar_t*>(lparam);
      text_.copy(buffer, count);
      buffer[count] = L'\0';
      *result = static_cast<LRESULT>(count);
      return true;
    }
    case WM_GETTEXTLENGTH:
      *result = Length();
      return true;
    case WM_SETFONT: {
      LOGFONTW lf = {};
      if (wparam && GetObjectW(reinterpret_cast<HFONT>(wparam), sizeof(lf), &lf)) {
        std::wstring desc = std::to_wstring(lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight);
        if (lf.lfWeight >= FW_BOLD)
          desc += L"b";
        if (lf.lfItalic)
          desc += L"i";
        SetAttribute(L"font", desc);
      }
      *result = 0;
      return true;
    }
    case WM_GETFONT:
      *result = 0;
      return true;
    case WM_CUT:
      Cut();
      return true;
    case WM_COPY:
      Copy();
      return true;
    case WM_PASTE:
      Paste();
      return true;
    case WM_CLEAR:
      Clear();
      return true;
    case WM_UNDO:
      *result = Undo() ? TRUE : FALSE;
      return true;
    case WM_KEYDOWN:
      OnKeyDown(wparam);
      return true;
    case WM_CHAR:
      OnChar(static_cast<wchar_t>(wparam));
      return true;
    case WM_SYSCHAR:
      // Alt+Backspace is the edit control's other undo key.
      if (wparam == VK_BACK) {
        Undo();
        return true;
      }
      return false;
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
      return true;
    case WM_IME_STARTCOMPOSITION:
    case WM_IME_ENDCOMPOSITION:
    case WM_IME_COMPOSITION:
    case WM_IME_CHAR:
      return OnImeMessage(message, wparam, lparam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
      OnMouse(message, wparam, lparam);
      return true;
    case WM_MOUSEMOVE:
      OnMouse(message, wparam, lparam);
      return true;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      return true;
    case WM_MOUSEWHEEL:
      if (IsMultiLine()) {
        int notches = GET_WHEEL_DELTA_WPARAM(wparam) / WHEEL_DELTA;
        firstLine_ -= notches * 3;
        ClampScroll();
        UpdateCaret();
        Invalidate();
        return true;
      }
      break;
    case WM_RBUTTONUP: {
      POINT p = {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
      if (host_)
        ClientToScreen(host_->GetHwnd(), &p);
      ShowContextMenu(p.x, p.y);
      return true;
    }
    case WM_CONTEXTMENU:
      ShowContextMenu(GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
      return true;
    case WM_SETFOCUS:
      OnFocus(true);
      return true;
    case WM_KILLFOCUS:
      OnFocus(false);
      return true;
    case WM_HSCROLL:
    case WM_VSCROLL:
      OnScroll(message == WM_VSCROLL, LOWORD(wparam), static_cast<short>(HIWORD(wparam)));
      return true;
    case WM_TIMER:
      if (wparam == kImeTimer) {
        KillTimer(kImeTimer);
        if (HasFocus())
          PlaceImeWindows();
        return true;
      }
      break;
    case WM_STYLECHANGED:
      if (wparam == static_cast<WPARAM>(GWL_STYLE) && lparam)
        SetStyle(reinterpret_cast<const STYLESTRUCT*>(lparam)->styleNew);
      return true;
    case WM_GETDLGCODE:
      *result = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS |
                (IsMultiLine() ? DLGC_WANTALLKEYS : 0);
      return true;
    case WM_SIZE:
      MarkLayoutDirty();
      EnsureCaretVisible();
      UpdateCaret();
      break;
    case WM_DESTROY:
      if (HasFocus() && host_)
        host_->ShowCaret(false);
      break;
    default:
      break;
  }
  return false;
}

// --- Painting.

void UIEditCtrl::Paint(Gdiplus::Graphics& graphics) {
  UIControl::Paint(graphics);
  if (ShowsHint()) {
    hintRender_->Paint(graphics, Gdiplus::Rect(5, 0, GetWidth() - 10, GetHeight()),
                       ControlRenderState(this), hint_, HostFontLookup(this));
    return;
  }
  PaintText(graphics);
}

void UIEditCtrl::PaintText(Gdiplus::Graphics& g) {
  EnsureLayout();
  Gdiplus::Font* font = Font();
  if (!font)
    return;
  Gdiplus::GraphicsState saved = g.Save();
  int top = TextTop();
  int bottom = IsMultiLine() ? GetHeight() - kMultiLineTop : GetHeight();
  g.SetClip(Gdiplus::Rect(TextLeft(), 0, TextWidth(), GetHeight()), Gdiplus::CombineModeIntersect);
  g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
  std::unique_ptr<Gdiplus::StringFormat> format = LineFormat();
  bool enabled = !(GetState() & kStateDisabled);
  Gdiplus::SolidBrush textBrush(Gdiplus::Color(enabled ? colour_ : kDisabledTextColour));
  Gdiplus::SolidBrush selectedBrush{Gdiplus::Color(kSelectionTextColour)};
  bool focused = HasFocus();
  bool showSelection = SelStart() != SelEnd() && (focused || (style_ & ES_NOHIDESEL));
  int selStart = SelStart(), selEnd = SelEnd();
  int last = std::min(static_cast<int>(lines_.size()), firstLine_ + VisibleLines() + 1);
  for (int row = firstLine_; row < last; ++row) {
    const Line& line = lines_[static_cast<size_t>(row)];
    int y = top + (row - firstLine_) * lineHeight_;
    if (y >= bottom)
      break;
    float x0 = static_cast<float>(TextLeft() - scrollX_) + AlignOffset(line);
    auto piece = [&](int from, int to, Gdiplus::Brush& brush) {
      if (to <= from)
        return;
      std::wstring s = DisplayText(from, to - from);
      float x = x0 + line.xs[static_cast<size_t>(from - line.start)];
      g.DrawString(s.c_str(), static_cast<INT>(s.size()), font,
                   Gdiplus::PointF(x, static_cast<float>(y)), format.get(), &brush);
    };
    int lineEnd = line.start + line.length;
    int a = showSelection ? std::min(std::max(selStart, line.start), lineEnd) : lineEnd;
    int b = showSelection ? std::min(std::max(selEnd, line.start), lineEnd) : lineEnd;
    piece(line.start, a, textBrush);
    if (b > a) {
      float xa = x0 + line.xs[static_cast<size_t>(a - line.start)];
      float xb = x0 + line.xs[static_cast<size_t>(b - line.start)];
      Gdiplus::SolidBrush back(
          Gdiplus::Color(focused ? kSelectionColour : kInactiveSelectionColour));
      g.FillRectangle(&back, xa, static_cast<float>(y), xb - xa, static_cast<float>(lineHeight_));
      piece(a, b, focused ? static_cast<Gdiplus::Brush&>(selectedBrush) : textBrush);
    }
    piece(b, lineEnd, textBrush);
  }
  if (composing_ && !composition_.empty() && focused) {
    POINT p = LocalCaretPoint();
    Gdiplus::Size size = MeasureText(g, composition_, font);
    FillRect(g, Gdiplus::Rect(p.x, p.y, size.Width, lineHeight_), kCompositionBack);
    g.DrawString(composition_.c_str(), static_cast<INT>(composition_.size()), font,
                 Gdiplus::PointF(static_cast<float>(p.x), static_cast<float>(p.y)), format.get(),
                 &textBrush);
    FillRect(g, Gdiplus::Rect(p.x, p.y + lineHeight_ - 1, size.Width, 1), colour_);
  }
  g.Restore(saved);
}
