#pragma once

#include <windows.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "ui/core/UIControl.h"

class UIRenderText;

// The windowless edit box of the layouts: drawn into the host's back buffer and driven like the
// system's edit control (the same ES_* styles, editing keys, EM_* messages 176..215, clipboard
// messages 768..771, WM_GETTEXT/WM_SETTEXT and the IME messages the host routes to the focused
// control). UI thread only.
//
// The base text (GetText/SetText, "txt") is the edit buffer itself; multi-line line breaks are
// stored as "\r\n". Programmatic changes (WM_SETTEXT, EM_REPLACESEL) work on read-only edits,
// typing and clipboard changes do not. Changes are reported as "edit_notify" events with
// param1 = EN_CHANGE (EN_SETFOCUS, EN_KILLFOCUS and EN_MAXTEXT likewise).
//
// The caret is the host's: created on focus gain, hidden on focus loss. While empty and not
// focused the hint is painted in the hint colour inside (5, 0, width - 10, height).
//
// Multi-line edits without ES_AUTOHSCROLL wrap at word boundaries; every other line scrolls
// horizontally to keep the caret in view, and multi-line edits scroll vertically. Input is never
// refused for lack of room, only by the text limit (30000 characters until EM_LIMITTEXT).
class UIEditCtrl : public UIControl {
 public:
  UIEditCtrl();
  ~UIEditCtrl() override;

  // UIControl:
  const char* GetClassName() const override { return "UIEditCtrl"; }
  bool ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  void Paint(Gdiplus::Graphics& graphics) override;
  void OnMessage(UIMessage& message) override;

  DWORD GetStyle() const { return style_; }
  const std::wstring& GetHint() const { return hint_; }
  bool HasFocus() const;
  // Whether the hint (rather than the text) is what Paint draws now.
  bool ShowsHint() const;

 private:
  struct Line {
    int start = 0;
    int length = 0;         // without the line break
    std::vector<float> xs;  // length + 1 offsets from the line's left edge
  };
  enum class UndoKind { kNone, kTyping, kBackspace, kDelete, kOther };
  struct UndoRecord {
    int pos = 0;
    std::wstring removed;
    std::wstring inserted;
  };

  bool IsMultiLine() const { return (style_ & ES_MULTILINE) != 0; }
  bool IsReadOnly() const { return (style_ & ES_READONLY) != 0; }
  bool WrapsLines() const { return IsMultiLine() && !(style_ & ES_AUTOHSCROLL); }
  int Length() const { return static_cast<int>(text_.size()); }
  int SelStart() const { return anchor_ < caret_ ? anchor_ : caret_; }
  int SelEnd() const { return anchor_ < caret_ ? caret_ : anchor_; }
  wchar_t DisplayChar(int index) const;
  std::wstring DisplayText(int start, int length) const;
  Gdiplus::Font* Font() const;

  // --- Layout.
  void MarkLayoutDirty();
  void EnsureLayout();
  float CharWidth(Gdiplus::Graphics& g,
                  Gdiplus::Font* font,
                  const Gdiplus::StringFormat* format,
                  int index);
  int TextLeft() const { return marginLeft_; }
  int TextWidth() const;
  int TextTop() const;
  int VisibleLines() const;
  int LineOf(int index);
  float AlignOffset(const Line& line) const;
  // Offset of the character position from the text area's left edge, before scrolling.
  float XOf(int index);
  POINT LocalCaretPoint();
  int IndexFromPoint(int x, int y);
  int Snap(int index, bool forward) const;
  void EnsureCaretVisible();
  void ClampScroll();

  // --- Editing.
  // Replaces [from, to) by `insert` after the style filters and the limit; false when nothing
  // changed. `kind` drives the merging of undo steps.
  bool Replace(int from, int to, std::wstring insert, UndoKind kind, bool notify = true);
  std::wstring FilterInput(const std::wstring& input) const;
  void ReplaceSelectionByUser(const std::wstring& insert, UndoKind kind);
  bool Undo();
  void SetSelection(int anchor, int caret);
  void MoveCaret(int index, bool extend);
  void AfterCaretMove();
  void SetTextFromMessage(const wchar_t* text);
  void SelectWordAt(int index);
  int WordLeft(int index) const;
  int WordRight(int index) const;
  void Copy();
  void Cut();
  void Paste();
  void Clear();
  void SetStyle(DWORD style);
  void Notify(int code);

  // --- Input.
  void OnKeyDown(WPARAM key);
  void OnChar(wchar_t c);
  void OnMouse(UINT message, WPARAM wparam, LPARAM lparam);
  void OnFocus(bool gained);
  void OnScroll(bool vertical, int code, int thumb);
  void ShowContextMenu(int screenX, int screenY);
  bool OnImeMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void PlaceImeWindows();
  void UpdateCaret();
  LRESULT OnEditMessage(UINT message, WPARAM wparam, LPARAM lparam, bool* handled);
  // The edit's own handling of a message; false leaves it to UIControl.
  bool HandleEditMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result);

  void PaintText(Gdiplus::Graphics& g);

  Gdiplus::ARGB colour_ = 0xFF60656F;
  std::wstring hint_;
  std::wstring fontDesc_ = L"14";
  DWORD style_ = ES_LEFT | ES_AUTOHSCROLL;
  UIRenderText* hintRender_ = nullptr;

  int anchor_ = 0;
  int caret_ = 0;
  float goalX_ = -1;  // column kept across Up/Down
  int scrollX_ = 0;   // pixels
  int firstLine_ = 0;
  int limit_ = 30000;
  wchar_t passwordChar_ = 0;
  int marginLeft_ = 5;
  int marginRight_ = 5;
  bool modified_ = false;
  bool mouseSelecting_ = false;

  UndoRecord undo_;
  bool canUndo_ = false;
  UndoKind lastKind_ = UndoKind::kNone;

  std::wstring composition_;
  bool composing_ = false;

  bool layoutDirty_ = true;
  int layoutWidth_ = -1;
  int lineHeight_ = 16;
  float maxLineWidth_ = 0;
  std::vector<Line> lines_;
  Gdiplus::Font* widthFont_ = nullptr;
  std::unordered_map<wchar_t, float> widths_;
};
