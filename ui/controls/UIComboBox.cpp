#include "ui/controls/UIComboBox.h"

#include <windowsx.h>

#include <algorithm>

#include "sys/StringFormat.h"
#include "ui/controls/UIControlPaint.h"
#include "ui/controls/UIScrollVertView.h"
#include "ui/core/UIBuilder.h"
#include "ui/core/UIRenderImg.h"
#include "ui/core/UIResLoader.h"
#include "ui/core/UIValueParse.h"

namespace {

// The four frames of a strip laid across, each an image painter of `type`.
SIZE MakeFramePainters(const std::wstring& path, int type, UIRender* out[4]) {
  for (int i = 0; i < 4; ++i)
    ReplaceRender(out[i], nullptr);
  UIResLoader* loader = GetResLoader();
  int w = 0, h = 0;
  if (!loader || path.empty() || !loader->ImageSize(path, &w, &h))
    return SIZE{};
  int fw = w / 4;
  int fh = h;
  if (fw < 1 || fh < 1)
    return SIZE{};
  for (int i = 0; i < 4; ++i) {
    auto* frame = new UIRenderImg;
    frame->SetAttribute(L"file", path);
    frame->SetAttribute(L"type", std::to_wstring(type));
    frame->SetAttribute(L"src", std::to_wstring(i * fw) + L",0," + std::to_wstring(fw) + L"," +
                                    std::to_wstring(fh));
    out[i] = frame;
  }
  return SIZE{fw, fh};
}

UIRender* PickFrame(UIRender* const frames[4], int index) {
  return frames[index] ? frames[index] : frames[0];
}

}  // namespace

// ---------------------------------------------------------------------------------------------

UIComboBox::UIComboBox() = default;

UIComboBox::~UIComboBox() {
  // The combo may go from inside the list's own window procedure (its "comboselectchanged").
  if (list_) {
    list_->Detach();
    list_->DestroyAndDelete();
  }
  for (int i = 0; i < 4; ++i) {
    ReplaceRender(backs_[i], nullptr);
    ReplaceRender(arrows_[i], nullptr);
  }
}

bool UIComboBox::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"data") {
    size_t before = items_.size();
    if (!value.empty()) {
      size_t start = 0;
      for (;;) {
        size_t bar = value.find(L'|', start);
        AddItem(value.substr(start, bar == std::wstring::npos ? bar : bar - start));
        if (bar == std::wstring::npos)
          break;
        start = bar + 1;
      }
    }
    if (items_.size() > before && selected_ != 0)
      SetSelected(0);
  } else if (name == L"hscrollwidth") {
    // Handed on to the drop list's scroll view.
    listScroll_ = std::max(0, ParseCoordinate(value));
    if (UIScrollVertView* view = list_ ? list_->view() : nullptr)
      view->SetAttribute(name, value);
  } else if (name == L"clickdrop") {
    clickDrop_ = value == L"true" || value == L"1";
  } else if (name == L"back") {
    // The field's own four-state strip, not a background descriptor.
    MakeFramePainters(value, UIRenderImg::kThreeH, backs_);
    Invalidate();
  } else if (name == L"thumb") {
    arrowSize_ = MakeFramePainters(value, UIRenderImg::kStretch, arrows_);
    Invalidate();
  } else {
    return UILabel::ApplyAttribute(name, value);
  }
  return true;
}

void UIComboBox::AddItem(const std::wstring& text) {
  items_.push_back(text);
}

void UIComboBox::SetSelected(int index) {
  bool valid = index >= 0 && index < static_cast<int>(items_.size());
  selected_ = valid ? index : -1;
  SetText(valid ? items_[index] : std::wstring());
  Invalidate();
  if (list_ && list_->IsOpen() && list_->view())
    list_->view()->Invalidate();
}

RECT UIComboBox::GetTextRect() const {
  RECT r = {margins_.left, 0, GetWidth() - margins_.right, GetHeight()};
  r.right = std::max(r.right, r.left);
  return r;
}

void UIComboBox::PaintBack(Gdiplus::Graphics& graphics) {
  int index = StateIndex(ControlRenderState(this));
  if (UIRender* back = PickFrame(backs_, index))
    back->Draw(this, graphics);
  int arrow = !IsEnabled() ? 3 : arrowPressed_ ? 2 : arrowHover_ ? 1 : 0;
  if (UIRender* painter = PickFrame(arrows_, arrow)) {
    RECT dst = {GetWidth() - arrowSize_.cx, (GetHeight() - arrowSize_.cy) / 2, 0, 0};
    dst.right = dst.left + arrowSize_.cx;
    dst.bottom = dst.top + arrowSize_.cy;
    painter->SetRect(dst);
    painter->Draw(this, graphics);
  }
}

void UIComboBox::PaintText(Gdiplus::Graphics& graphics) {
  PaintTextIn(graphics, GetTextRect());
}

void UIComboBox::Paint(Gdiplus::Graphics& graphics) {
  PaintBack(graphics);
  PaintText(graphics);
}

bool UIComboBox::InArrowArea(const UIMessage& message) const {
  RECT me = WindowRect();
  return message.x >= me.right - margins_.right && message.x < me.right && message.y >= me.top &&
         message.y < me.bottom;
}

void UIComboBox::OnMessage(UIMessage& message) {
  IUIContainer* host = GetHost();
  switch (message.message) {
    case WM_MOUSEMOVE: {
      bool hover = InArrowArea(message);
      if (hover != arrowHover_) {
        arrowHover_ = hover;
        Invalidate();
      }
      break;
    }
    case WM_MOUSELEAVE:
      if (arrowHover_) {
        arrowHover_ = false;
        Invalidate();
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      pressSuppressed_ = suppressOpen_;
      suppressOpen_ = false;
      arrowPressed_ = InArrowArea(message);
      if (host)
        host->SetCapture(GetHandle());
      Invalidate();
      return;
    case WM_LBUTTONUP: {
      // Only a press that began on the field opens the list: the release of a press that
      // closed the list elsewhere arrives here without one.
      bool pressed = host && host->GetCaptureHandle() == GetHandle();
      bool inside = pressed && HitTest(POINT{message.x, message.y});
      if (pressed)
        host->ReleaseCapture();
      bool open = arrowPressed_ || clickDrop_;
      if (arrowPressed_) {
        arrowPressed_ = false;
        Invalidate();
      }
      // A press that closed the list, or that ends off the field, opens nothing.
      if (open && inside && !pressSuppressed_)
        OpenList();
      pressSuppressed_ = false;
      return;
    }
    case WM_CAPTURECHANGED:
      if (arrowPressed_) {
        arrowPressed_ = false;
        Invalidate();
      }
      return;
    default:
      break;
  }
  UILabel::OnMessage(message);
}

int UIComboBox::GetDropHeight() const {
  int rows = std::min(visibleRows_, static_cast<int>(items_.size()));
  return std::max(rows * rowHeight_ + 6, rowHeight_ + 6);
}

int UIComboBox::GetDropWidth() const {
  return std::max(GetWidth(), minDropWidth_);
}

UIControl* UIComboBox::CreateItem(int index) {
  auto* item = new UIComboBoxItem(this, index);
  item->SetAttribute(L"clr", L"#ff60656f");
  item->SetAttribute(L"font", L"14");
  item->SetAttribute(L"xstart", L"3");
  item->SetAttribute(L"xend", L"12");
  item->SetAttribute(L"cursor", L"arrow");
  item->SetPos(0, 0, 20, rowHeight_);
  item->SetText(items_[index]);
  return item;
}

void UIComboBox::CreateItems(std::vector<UIControl*>* out) {
  UIControlCreatedHook hook = GetControlCreatedHook();
  for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
    UIControl* item = CreateItem(i);
    if (!item)
      continue;
    if (hook)
      hook(item);
    out->push_back(item);
  }
}

void UIComboBox::CreateDropList() {
  if (list_ && list_->hwnd())
    return;
  // A list whose window went (its owner window closed, a failed creation) is made again.
  if (list_) {
    list_->Detach();
    list_->DestroyAndDelete();
  }
  IUIContainer* host = GetHost();
  list_ = new UIComboListWidget(this);
  list_->Create(host ? host->GetHwnd() : nullptr, WS_POPUP, WS_EX_LAYERED | WS_EX_TOOLWINDOW, 0, 0,
                GetDropWidth(), GetDropHeight());
  if (UIScrollVertView* view = list_->view())
    view->SetAttribute(L"hscrollwidth", std::to_wstring(listScroll_));
}

void UIComboBox::OpenList() {
  CreateDropList();
  if (!list_->hwnd() || !list_->view())
    return;
  RECT field = ScreenRect();
  int width = GetDropWidth();
  int height = GetDropHeight();
  int x = field.left;
  int y = field.bottom;
  MONITORINFO mi = {sizeof(mi)};
  if (GetMonitorInfoW(MonitorFromRect(&field, MONITOR_DEFAULTTONEAREST), &mi) &&
      y + height > mi.rcWork.bottom)
    y = field.top - height;
  list_->Open(x, y, width, height);
}

void UIComboBox::ChooseFromList(int index) {
  if (index == selected_ || index < 0 || index >= static_cast<int>(items_.size()))
    return;
  SetSelected(index);
  FireEvent("comboselectchanged", 0, 0);
}

// ---------------------------------------------------------------------------------------------

UIComboBoxItem::UIComboBoxItem(UIComboBox* owner, int index) : owner_(owner), index_(index) {}

bool UIComboBoxItem::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  Gdiplus::ARGB* slot = name == L"selclr"     ? &selClr_
                        : name == L"hoverclr" ? &hoverClr_
                        : name == L"lineclr"  ? &lineClr_
                                              : nullptr;
  if (!slot)
    return UIButton::ApplyAttribute(name, value);
  *slot = ParseColor(value);
  Invalidate();
  return true;
}

void UIComboBoxItem::OnStateChanged(unsigned oldState, unsigned newState) {
  // The pointer takes the keyboard highlight with it, so that only one row looks hovered.
  if ((newState & kStateHover) && !(oldState & kStateHover) && !IsRemoved() && owner_->drop_list())
    owner_->drop_list()->SetHighlight(index_);
}

void UIComboBoxItem::Paint(Gdiplus::Graphics& graphics) {
  Gdiplus::ARGB fill = (index_ % 2) ? lineClr_ : 0;
  UIComboListWidget* list = owner_->drop_list();
  if ((GetState() & kStateHover) || (list && list->GetHighlight() == index_))
    fill = hoverClr_;
  if (owner_->GetSelected() == index_)
    fill = selClr_;
  if (fill) {
    Gdiplus::SolidBrush brush{Gdiplus::Color(fill)};
    graphics.FillRectangle(&brush, 0, 0, GetWidth(), GetHeight());
  }
  UIButton::Paint(graphics);
}

// ---------------------------------------------------------------------------------------------

UIComboListWidget::UIComboListWidget(UIComboBox* owner) : owner_(owner) {
  SetDragByBackground(false);
}

void UIComboListWidget::OnInitialized() {
  back_ = new UIControl;
  back_->SetAttribute(L"back", L"img:file=img\\cb_bg.png|type=3");
  GetRoot()->AddChild(back_);
  view_ = new UIScrollVertView;
  GetRoot()->AddChild(view_);
  RECT c = UIHostWnd::GetClientRect();
  view_->SetPos(2, 2, c.right - c.left - 4, c.bottom - c.top - 4);
}

bool UIComboListWidget::IsOpen() const {
  return hwnd() && IsWindowVisible(hwnd());
}

void UIComboListWidget::Open(int x, int y, int width, int height) {
  if (!view_ || !owner_)
    return;
  view_->RemoveAllRows();
  view_->SetPosition(0);
  std::vector<UIControl*> rows;
  owner_->CreateItems(&rows);
  for (UIControl* row : rows)
    view_->AddRow(row);
  SetWindowPos(hwnd(), HWND_TOP, x, y, width, height, SWP_NOACTIVATE);
  view_->SetPos(2, 2, std::max(0, width - 4), std::max(0, height - 4));
  view_->Relayout();
  highlight_ = owner_->GetSelected();
  view_->EnsureVisible(highlight_);
  // Shown activated when opened from the active window (a click on the field), so that the
  // window system moves the keyboard to it; otherwise it does not take activation on showing.
  HWND owner = GetWindow(hwnd(), GW_OWNER);
  bool fromActive = owner && GetActiveWindow() == owner;
  ShowWindow(hwnd(), fromActive ? SW_SHOW : SW_SHOWNA);
  GetRoot()->Invalidate();
  PaintNow();
  // Foreground too: a click back on the owner must deactivate the list, which closes it.
  if (fromActive)
    SetForegroundWindow(hwnd());
  SetFocus(hwnd());
  // Presses outside the list close it even where activation does not follow clicks.
  ::SetCapture(hwnd());
}

void UIComboListWidget::Hide() {
  if (!IsOpen())
    return;
  if (::GetCapture() == hwnd())
    ::ReleaseCapture();
  ShowWindow(hwnd(), SW_HIDE);
  // A hidden list must not stay the active window: the owner gets the keyboard back, and
  // showing an active window again would make it a managed one under Wine's X11 driver.
  HWND owner = GetWindow(hwnd(), GW_OWNER);
  if (owner && GetActiveWindow() == hwnd())
    SetActiveWindow(owner);
}

void UIComboListWidget::SetHighlight(int index) {
  if (index == highlight_ || !view_)
    return;
  if (UIControl* old = view_->Row(highlight_))
    old->Invalidate();
  highlight_ = index;
  if (UIControl* row = view_->Row(highlight_))
    row->Invalidate();
}

int UIComboListWidget::OnEvent(UIEvent& event) {
  auto* item = dynamic_cast<UIComboBoxItem*>(event.sender);
  if (item && event.name == "click") {
    int index = item->index();
    Hide();
    if (owner_)
      owner_->ChooseFromList(index);
  }
  return 1;
}

void UIComboListWidget::CloseOnFocusLoss() {
  if (!IsOpen())
    return;
  POINT cursor;
  RECT field = owner_ ? owner_->ScreenRect() : RECT{};
  if (GetCursorPos(&cursor) && PtInRect(&field, cursor) && (GetKeyState(VK_LBUTTON) & 0x8000))
    owner_->SuppressNextOpen();
  Hide();
}

bool UIComboListWidget::HandleMessage(HWND hwnd,
                                      UINT message,
                                      WPARAM wparam,
                                      LPARAM lparam,
                                      LRESULT* result) {
  switch (message) {
    case WM_KEYDOWN: {
      int count = view_ ? view_->RowCount() : 0;
      if (wparam == VK_ESCAPE) {
        Hide();
      } else if (wparam == VK_UP || wparam == VK_DOWN) {
        int step = wparam == VK_UP ? -1 : 1;
        int next = highlight_ < 0 ? (step > 0 ? 0 : count - 1) : highlight_ + step;
        if (count > 0) {
          SetHighlight(std::min(std::max(next, 0), count - 1));
          view_->EnsureVisible(highlight_);
        }
      } else if (wparam == VK_RETURN) {
        int index = highlight_;
        Hide();
        if (owner_)
          owner_->ChooseFromList(index);
      } else {
        break;
      }
      *result = 0;
      return true;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      POINT p = {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
      RECT client = UIHostWnd::GetClientRect();
      if (!PtInRect(&client, p)) {
        // Captured press elsewhere: it only closes the list (a press on the field included).
        Hide();
        *result = 0;
        return true;
      }
      break;
    }
    case WM_MOUSEMOVE:
      // A row that took and released the capture took ours with it.
      if (IsOpen() && GetCaptureHandle() == 0 && ::GetCapture() != hwnd)
        ::SetCapture(hwnd);
      break;
    case WM_CAPTURECHANGED:
      UIHostWnd::HandleMessage(hwnd, message, wparam, lparam, result);
      if (lparam && reinterpret_cast<HWND>(lparam) != hwnd)
        Hide();
      return true;
    case WM_MOUSEWHEEL:
      // Wherever the pointer is, the wheel scrolls the rows of the focused list.
      if (view_)
        view_->SendMessage(WM_MOUSEWHEEL, wparam, lparam);
      *result = 0;
      return true;
    case WM_KILLFOCUS:
      UIHostWnd::HandleMessage(hwnd, message, wparam, lparam, result);
      CloseOnFocusLoss();
      return true;
    case WM_CLOSE:
      // Alt+F4 or another program's close request: the list only closes, as by Escape.
      Hide();
      *result = 0;
      return true;
    case WM_DESTROY:
      // The tree goes with the window; a later opening makes a new list.
      UIHostWnd::HandleMessage(hwnd, message, wparam, lparam, result);
      back_ = nullptr;
      view_ = nullptr;
      highlight_ = -1;
      return true;
    case WM_ACTIVATE:
      UIHostWnd::HandleMessage(hwnd, message, wparam, lparam, result);
      if (LOWORD(wparam) == WA_INACTIVE)
        CloseOnFocusLoss();
      return true;
    default:
      break;
  }
  return UIHostWnd::HandleMessage(hwnd, message, wparam, lparam, result);
}
