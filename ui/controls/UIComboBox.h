#pragma once

#include <string>
#include <vector>

#include "ui/controls/UIButton.h"
#include "ui/controls/UILabel.h"
#include "ui/core/UIHostWnd.h"

class UIComboListWidget;
class UIScrollVertView;

// A drop-down chooser: a field showing the selected item's text with an arrow at the right, and
// a drop list (a layered popup window of 28-pixel rows, at most 8 visible) that opens below the
// field, or above it when it would pass the bottom of the work area. Choosing a row other than
// the selected one updates the field and fires "comboselectchanged" (0, 0); the list closes on
// a choice, on Escape and when it loses the focus. In the list, Up and Down move the
// highlight, Return chooses it and the wheel scrolls.
//
// UI thread only. The combo owns its painters and its drop list window (created on first
// opening, destroyed with the combo). An index outside the items selects nothing and empties
// the field.
class UIComboBox : public UILabel {
 public:
  static constexpr int kRowHeight = 28;
  static constexpr int kVisibleRows = 8;

  UIComboBox();
  ~UIComboBox() override;

  // UIControl:
  const char* GetClassName() const override { return "UIComboBox"; }
  bool ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  void Paint(Gdiplus::Graphics& graphics) override;
  void OnMessage(UIMessage& message) override;
  // UILabel: the field less the left margin and the arrow area.
  RECT GetTextRect() const override;

  // --- Virtual operations added after UILabel's, in slot order.
  virtual void PaintText(Gdiplus::Graphics& graphics);
  virtual void PaintBack(Gdiplus::Graphics& graphics);
  virtual int GetDropHeight() const;
  virtual int GetDropWidth() const;
  // New rows for every item, the creation hook applied; the caller takes the references.
  virtual void CreateItems(std::vector<UIControl*>* out);
  virtual void CreateDropList();
  virtual UIControl* CreateItem(int index);

  void SetSelected(int index);
  int GetSelected() const { return selected_; }
  void AddItem(const std::wstring& text);
  int GetItemCount() const { return static_cast<int>(items_.size()); }
  const std::wstring& GetItem(int index) const { return items_[index]; }

  // Opens the drop list (rebuilding its rows).
  void OpenList();
  UIComboListWidget* drop_list() const { return list_; }
  // A choice from the list: fires "comboselectchanged" only when the selection changes.
  void ChooseFromList(int index);
  // Set by the list when it closed on a press aimed at this field, so that the press closes
  // the list instead of opening it again.
  void SuppressNextOpen() { suppressOpen_ = true; }

 private:
  bool InArrowArea(const UIMessage& message) const;

  std::vector<std::wstring> items_;
  int selected_ = -1;
  RECT margins_ = {5, 2, 25, 2};
  int rowHeight_ = kRowHeight;
  int visibleRows_ = kVisibleRows;
  int minDropWidth_ = 0;
  int listScroll_ = 8;
  bool clickDrop_ = true;
  bool arrowHover_ = false;
  bool arrowPressed_ = false;
  bool suppressOpen_ = false;
  bool pressSuppressed_ = false;
  UIRender* backs_[4] = {};
  UIRender* arrows_[4] = {};
  SIZE arrowSize_ = {};
  UIComboListWidget* list_ = nullptr;
};

// One row of a drop list: banded, hover and selected fills under a button's look.
class UIComboBoxItem : public UIButton {
 public:
  UIComboBoxItem(UIComboBox* owner, int index);

  const char* GetClassName() const override { return "UIComboBoxItem"; }
  bool ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  void Paint(Gdiplus::Graphics& graphics) override;
  void OnStateChanged(unsigned oldState, unsigned newState) override;

  int index() const { return index_; }

 private:
  UIComboBox* owner_;
  int index_;
  Gdiplus::ARGB selClr_ = 0xFFBBDCFD;
  Gdiplus::ARGB hoverClr_ = 0xFFE4F1FE;
  Gdiplus::ARGB lineClr_ = 0xFFFCFDFF;
};

// The drop list window of one combo box: a background painted from "img\cb_bg.png" and the
// scroll view of rows. Hidden, not destroyed, when it closes (a close request such as Alt+F4
// included). UI thread only; owned by its combo, which makes a new one when the window was
// destroyed by anyone else and deletes it through DestroyAndDelete.
class UIComboListWidget : public UIHostWnd {
 public:
  explicit UIComboListWidget(UIComboBox* owner);

  // Shows the rows of the owner's items at (x, y, width, height) in screen coordinates.
  void Open(int x, int y, int width, int height);
  // Forgets the combo box, which is going: the list then only closes.
  void Detach() { owner_ = nullptr; }
  void Hide();
  bool IsOpen() const;
  // The row Up/Down move to and Return chooses; -1 for none.
  int GetHighlight() const { return highlight_; }
  void SetHighlight(int index);
  // Null while the window does not exist.
  UIScrollVertView* view() const { return view_; }

  // UIHostWnd:
  void OnInitialized() override;
  SIZE GetMinSize() const override { return {0, 0}; }
  int OnEvent(UIEvent& event) override;
  bool HandleMessage(HWND hwnd,
                     UINT message,
                     WPARAM wparam,
                     LPARAM lparam,
                     LRESULT* result) override;

 private:
  void CloseOnFocusLoss();

  UIComboBox* owner_;
  UIControl* back_ = nullptr;
  UIScrollVertView* view_ = nullptr;
  int highlight_ = -1;
};
