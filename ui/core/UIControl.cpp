#include "ui/core/UIControl.h"

#include <algorithm>
#include <memory>
#include <string_view>
#include <typeinfo>

#include "sys/CriticalSection.h"
#include "sys/StringFormat.h"
#include "ui/core/UIGraphics.h"
#include "ui/core/UIHandleTable.h"
#include "ui/core/UILayout.h"
#include "ui/core/UIRender.h"
#include "ui/core/UIStyleTable.h"
#include "ui/core/UIValueParse.h"

using namespace std::string_view_literals;

namespace {

// Flag byte A.
enum : uint8_t {
  kFlagSelect = 0x01,
  kFlagPosParent = 0x02,
  kFlagVisible = 0x04,
  kFlagEnabled = 0x08,
  kFlagHit = 0x10,
  kFlagFloat = 0x40,
  kFlagRemoved = 0x80,
};
// Flag byte B.
enum : uint8_t {
  kFlagAdj = 0x01,
  kFlagContainer = 0x02,
  kFlagLayoutPending = 0x04,
  kFlagWidthParent = 0x08,
  kFlagHeightParent = 0x10,
  kFlagFocusable = 0x20,
  kFlagRelayoutOwed = 0x40,
  kFlagTrack = 0x80,
};
// Flag byte C.
enum : uint8_t { kFlagEventSink = 0x01 };

// A style that names itself (directly or through others) would recurse without end.
constexpr int kMaxStyleDepth = 32;
int styleDepth = 0;

struct HandleRegistry {
  CriticalSection lock;
  UIHandleTable controls;
};

HandleRegistry& Registry() {
  static HandleRegistry* registry = new HandleRegistry;  // outlives every static control
  return *registry;
}

uint32_t RegisterHandle(UIControl* control) {
  HandleRegistry& r = Registry();
  ScopedLock lock(r.lock);
  return r.controls.Add(control);
}

// Only while the entry is still this control's: a dying control leaves early, and its handle
// may be handed out again before its destructor ends.
void UnregisterHandle(uint32_t handle, const UIControl* control) {
  HandleRegistry& r = Registry();
  ScopedLock lock(r.lock);
  r.controls.Remove(handle, control);
}

void SetFlag(uint8_t& flags, uint8_t bit, bool on) {
  flags = on ? (flags | bit) : (flags & ~bit);
}

enum class AttributeKind {
  kUnknown,
  kCss,
  kTips,
  kTrack,
  kHeight,
  kWidth,
  kAdj,
  kContainer,
  kFloat,
  kPos,
  kCursor,
  kSelect,
  kVisible,
  kEnable,
  kHit,
  kLayout,
  kBack,
  kTxt,
  kId,
  kRgn,
  kPadding,
};

// Every attribute of every control passes here first: a view compares lengths before text, so
// most entries cost one comparison of sizes.
AttributeKind KindOf(const std::wstring& name) {
  static constexpr struct {
    std::wstring_view name;
    AttributeKind kind;
  } kKnown[] = {
      {L"id", AttributeKind::kId},         {L"css", AttributeKind::kCss},
      {L"adj", AttributeKind::kAdj},       {L"pos", AttributeKind::kPos},
      {L"hit", AttributeKind::kHit},       {L"txt", AttributeKind::kTxt},
      {L"rgn", AttributeKind::kRgn},       {L"tips", AttributeKind::kTips},
      {L"back", AttributeKind::kBack},     {L"track", AttributeKind::kTrack},
      {L"width", AttributeKind::kWidth},   {L"float", AttributeKind::kFloat},
      {L"height", AttributeKind::kHeight}, {L"cursor", AttributeKind::kCursor},
      {L"select", AttributeKind::kSelect}, {L"enable", AttributeKind::kEnable},
      {L"layout", AttributeKind::kLayout}, {L"visible", AttributeKind::kVisible},
      {L"padding", AttributeKind::kPadding}, {L"container", AttributeKind::kContainer},
  };
  const std::wstring_view wanted(name);
  for (const auto& k : kKnown) {
    if (k.name == wanted)
      return k.kind;
  }
  return AttributeKind::kUnknown;
}

}  // namespace

UIControl* ResolveControl(uint32_t handle) {
  if (handle == 0)
    return nullptr;
  HandleRegistry& r = Registry();
  ScopedLock lock(r.lock);
  return r.controls.Find(handle);
}

UIControl::UIControl()
    : flagsA_(kFlagVisible | kFlagEnabled | kFlagHit),
      flagsB_(kFlagLayoutPending),
      handle_(RegisterHandle(this)) {}

UIControl::~UIControl() {
  UnregisterHandle(handle_, this);
  for (UIControl* child : children_) {
    child->parent_ = nullptr;
    child->Release();
  }
  if (layout_)
    layout_->Release();
  if (background_)
    background_->Release();
}

bool UIControl::ProcessMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  *result = 0;
  switch (message) {
    case WM_CREATE:
      *result = OnCreate(lparam);
      return true;
    case WM_DESTROY:
      DestroyChildren();
      return true;
    case WM_SIZE:
      Relayout();
      return true;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      Invalidate();
      return true;
    case WM_ENABLE: {
      if (lparam != 1)
        SetFlag(flagsA_, kFlagEnabled, wparam != 0);
      bool enabled = wparam != 0 && (flagsA_ & kFlagEnabled) &&
                     !(parent_ && (parent_->state_ & kStateDisabled));
      unsigned state =
          enabled ? (state_ & ~kStateDisabled) : ((state_ | kStateDisabled) & ~kStateHover);
      SetState(state);
      for (UIControl* child : std::vector<UIControl*>(children_))
        child->SendMessage(WM_ENABLE, enabled, 1);
      Invalidate();
      return true;
    }
    case WM_SETTEXT:
      text_ = lparam ? reinterpret_cast<const wchar_t*>(lparam) : L"";
      Invalidate();
      *result = static_cast<LRESULT>(text_.size());
      return true;
    case WM_SHOWWINDOW: {
      bool wasShown = !(state_ & kStateHidden) && (flagsA_ & kFlagVisible);
      bool visible = wparam != 0 && (lparam == 1 ? (flagsA_ & kFlagVisible) != 0 : true) &&
                     !(parent_ && (parent_->state_ & kStateHidden));
      if (wasShown && !visible)
        InvalidateBeforeHiding();
      if (lparam != 1)
        SetFlag(flagsA_, kFlagVisible, wparam != 0);
      SetState(visible ? (state_ & ~kStateHidden) : (state_ | kStateHidden));
      for (UIControl* child : std::vector<UIControl*>(children_))
        child->SendMessage(WM_SHOWWINDOW, visible, 1);
      if (!visible && host_) {
        if (host_->GetFocusControl() == this)
          host_->SetFocusControl(0);
        if (host_->GetCaptureHandle() == handle_)
          host_->ReleaseCapture();
      }
      Invalidate();
      return true;
    }
    case WM_MOUSEMOVE:
    case WM_RBUTTONDOWN:
      return true;
    case WM_RBUTTONUP:
      OnRightClick(static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam)));
      return true;
    case WM_MOUSEWHEEL:
      // The root has nobody to pass the wheel to: left unhandled.
      if (!parent_)
        return false;
      *result = parent_->SendMessage(message, wparam, lparam);
      return true;
    case WM_MOUSEHOVER:
    case WM_MOUSELEAVE: {
      bool hover = message == WM_MOUSEHOVER;
      unsigned state = state_;
      if (host_ && host_->GetCaptureHandle() == handle_)
        state = hover ? (state | kStatePressed) : (state & ~kStatePressed);
      state = hover ? (state | kStateHover) : (state & ~kStateHover);
      if (state != state_) {
        SetState(state);
        if (RedrawOnHover())
          Invalidate();
      }
      return true;
    }
    default:
      return false;
  }
}

LRESULT UIControl::OnCreate(LPARAM data) {
  return 0;
}

bool UIControl::IsTracking() const {
  return (flagsB_ & kFlagTrack) != 0;
}

void UIControl::ApplyStyle(const std::wstring& name) {
  // Held, not copied: the table may be reloaded under a SetAttribute.
  std::shared_ptr<const UIStyle> style = ShareStyle(name);
  if (!style || styleDepth >= kMaxStyleDepth)
    return;
  ++styleDepth;
  for (const auto& item : *style)
    SetAttribute(item.first, item.second);
  --styleDepth;
}

void UIControl::SetLayoutFromAttribute(const std::wstring& value) {
  UILayout* layout = CreateLayout(value);
  if (layout_)
    layout_->Release();
  layout_ = layout;
}

void UIControl::SetBackgroundFromAttribute(const std::wstring& value) {
  UIRender* render = CreateRender(value);
  if (background_)
    background_->Release();
  background_ = render;
  Invalidate();
}

bool UIControl::SetAttribute(const std::wstring& name, const std::wstring& value) {
  bool known = ApplyAttribute(name, value);
  attributes_.Set(name, value);
  return known;
}

bool UIControl::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  const AttributeKind kind = KindOf(name);
  switch (kind) {
    case AttributeKind::kCss:
      ApplyStyle(value);
      break;
    case AttributeKind::kTips:
      tips_ = value;
      break;
    case AttributeKind::kTrack:
      SetFlag(flagsB_, kFlagTrack, ParseBool(value));
      break;
    case AttributeKind::kHeight:
    case AttributeKind::kWidth: {
      bool height = kind == AttributeKind::kHeight;
      bool parent = value == L"parent"sv;
      SetFlag(flagsB_, height ? kFlagHeightParent : kFlagWidthParent, parent);
      int size = parent ? (parent_ ? (height ? parent_->GetHeight() : parent_->GetWidth()) : -1)
                        : ParseCoordinate(value);
      if (size >= 0) {
        if (height)
          rect_.bottom = AddSaturated(rect_.top, size);
        else
          rect_.right = AddSaturated(rect_.left, size);
      }
      Relayout();
      break;
    }
    case AttributeKind::kAdj:
      SetFlag(flagsB_, kFlagAdj, ParseBool(value));
      break;
    case AttributeKind::kContainer:
      SetFlag(flagsB_, kFlagContainer, ParseBool(value));
      break;
    case AttributeKind::kFloat:
      SetFlag(flagsA_, kFlagFloat, ParseBool(value));
      break;
    case AttributeKind::kPos:
      if (value == L"parent"sv) {
        flagsA_ |= kFlagPosParent;
        if (parent_)
          SetPos(0, 0, parent_->GetWidth(), parent_->GetHeight());
      } else {
        flagsA_ &= ~kFlagPosParent;
        RECT r = {};
        ParseRect(value, &r);
        SetPos(r.left, r.top, r.right - r.left, r.bottom - r.top);
      }
      break;
    case AttributeKind::kCursor:
      cursor_ = value == L"hand"sv    ? IDC_HAND
                : value == L"cross"sv ? IDC_CROSS
                : value == L"wait"sv  ? IDC_WAIT
                                    : IDC_ARROW;
      break;
    case AttributeKind::kSelect:
      SetFlag(flagsA_, kFlagSelect, ParseBool(value));
      break;
    case AttributeKind::kVisible:
      SetFlag(flagsA_, kFlagVisible, ParseBool(value));
      break;
    case AttributeKind::kEnable:
      SetFlag(flagsA_, kFlagEnabled, ParseBool(value));
      break;
    case AttributeKind::kHit:
      SetFlag(flagsA_, kFlagHit, ParseBool(value));
      break;
    case AttributeKind::kLayout:
      SetLayoutFromAttribute(value);
      break;
    case AttributeKind::kBack:
      SetBackgroundFromAttribute(value);
      break;
    case AttributeKind::kTxt:
      SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
      break;
    case AttributeKind::kId:
      id_ = value;
      break;
    case AttributeKind::kRgn:
      rgn_ = ParseCoordinate(value);
      break;
    case AttributeKind::kPadding:
      padding_ = ParseInsets(value);
      break;
    case AttributeKind::kUnknown:
      return false;
  }
  return true;
}

void UIControl::Paint(Gdiplus::Graphics& graphics) {
  if (background_)
    background_->Draw(this, graphics);
}

bool UIControl::PaintStaysInside() const {
  return typeid(*this) == typeid(UIControl) && BackgroundStaysInside();
}

bool UIControl::BackgroundStaysInside() const {
  return !background_ || background_->StaysInside(this);
}

void UIControl::PaintClip(Gdiplus::Graphics& graphics) {
  if (rgn_ <= 0)
    return;
  Gdiplus::GraphicsPath path;
  AddRoundRectPath(path, Gdiplus::Rect(0, 0, GetWidth(), GetHeight()), rgn_);
  Gdiplus::Region region(&path);
  graphics.SetClip(&region, Gdiplus::CombineModeIntersect);
}

SIZE UIControl::GetDesiredSize() const {
  if (flagsB_ & kFlagAdj)
    return {0, 0};
  SIZE size = {GetWidth(), GetHeight()};
  if (parent_) {
    RECT c = parent_->GetClientRect();
    if (flagsA_ & kFlagPosParent)
      return {c.right - c.left, c.bottom - c.top};
    if (flagsB_ & kFlagHeightParent)
      size.cy = c.bottom - c.top;
    if (flagsB_ & kFlagWidthParent)
      size.cx = c.right - c.left;
  }
  return size;
}

void UIControl::OnMessage(UIMessage& message) {
  LRESULT result = 0;
  ProcessMessage(message.message, message.wparam, message.lparam, &result);
  message.result = result;
}

RECT UIControl::GetClientRect() const {
  RECT p = GetPadding();
  return {p.left, p.top, GetWidth() - p.right, GetHeight() - p.bottom};
}

void UIControl::Relayout() {
  flagsB_ &= ~kFlagRelayoutOwed;
  if (layout_) {
    layout_->Arrange(this);
  } else {
    RECT c = GetClientRect();
    bool all = (flagsB_ & kFlagContainer) != 0;
    for (UIControl* child : std::vector<UIControl*>(children_)) {
      if (all || (child->flagsA_ & kFlagPosParent))
        child->Place(c);
    }
  }
  Invalidate();
}

void UIControl::Invalidate(const RECT* rect) {
  // A tree without a window (one being built) has nothing to repaint.
  if (!(flagsA_ & kFlagVisible) || !host_)
    return;
  RECT r = rect ? *rect : RECT{0, 0, GetWidth(), GetHeight()};
  if (r.right <= r.left || r.bottom <= r.top)
    return;
  OffsetRect(&r, rect_.left, rect_.top);
  if (parent_)
    parent_->Invalidate(&r);
  else if (host_)
    host_->InvalidateRect(r);
}

bool UIControl::IsFocusable() const {
  return (flagsB_ & kFlagFocusable) != 0;
}

bool UIControl::HitTest(POINT point) const {
  RECT r = WindowRect();
  return point.x >= r.left && point.x < r.right && point.y >= r.top && point.y < r.bottom;
}

void UIControl::ApplyCursor() {
  ::SetCursor(LoadCursorW(nullptr, cursor_));
}

UIControl* UIControl::ControlFromPoint(int x, int y) {
  if (!(flagsA_ & kFlagVisible) || !IsEnabled())
    return nullptr;
  if (x < rect_.left || x >= rect_.right || y < rect_.top || y >= rect_.bottom)
    return nullptr;
  for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
    if (UIControl* found = (*it)->ControlFromPoint(x - rect_.left, y - rect_.top))
      return found;
  }
  return (flagsA_ & kFlagHit) ? this : nullptr;
}

void UIControl::AddChild(UIControl* child) {
  if (!child)
    return;
  child->parent_ = this;
  // Most containers hold a handful: one allocation instead of doubling from one.
  if (children_.empty())
    children_.reserve(8);
  children_.push_back(child);
  if (host_)
    child->AttachHost(host_);
}

void UIControl::DeleteSelf() {
  // Derived destructors may pump messages (a control closing a window of its own): from here on
  // neither this control nor anything below it is found by handle.
  MarkSubtreeRemoved();
  UnregisterHandle(handle_, this);
  delete this;
}

void UIControl::MarkSubtreeRemoved() {
  flagsA_ |= kFlagRemoved;
  for (UIControl* child : children_)
    child->MarkSubtreeRemoved();
}

void UIControl::DestroyChildren() {
  std::vector<UIControl*> children;
  children.swap(children_);
  for (UIControl* child : children) {
    child->SendMessage(WM_DESTROY);
    child->MarkSubtreeRemoved();
    child->parent_ = nullptr;
    child->Release();
  }
}

void UIControl::Remove() {
  flagsA_ |= kFlagRemoved;
  DestroyChildren();
  Invalidate();
  UIControl* parent = parent_;
  host_ = nullptr;
  if (!parent) {
    return;  // nobody holds a reference on behalf of a tree
  }
  auto& siblings = parent->children_;
  auto it = std::find(siblings.begin(), siblings.end(), this);
  if (it == siblings.end())
    return;
  siblings.erase(it);
  parent_ = nullptr;
  Release();
}

UIControl* UIControl::GetRelative(Relative kind) const {
  switch (kind) {
    case Relative::kFirstChild:
      return children_.empty() ? nullptr : children_.front();
    case Relative::kLastChild:
      return children_.empty() ? nullptr : children_.back();
    case Relative::kPrevSibling:
    case Relative::kNextSibling: {
      int i = IndexInParent();
      if (i < 0)
        return nullptr;
      int j = kind == Relative::kPrevSibling ? i - 1 : i + 1;
      const auto& siblings = parent_->children_;
      return j >= 0 && j < static_cast<int>(siblings.size()) ? siblings[j] : nullptr;
    }
    case Relative::kParent:
      return parent_;
    case Relative::kLink:
      return link_;
  }
  return nullptr;
}

int UIControl::IndexInParent() const {
  if (!parent_)
    return -1;
  const auto& siblings = parent_->children_;
  auto it = std::find(siblings.begin(), siblings.end(), this);
  return it == siblings.end() ? -1 : static_cast<int>(it - siblings.begin());
}

UIControl* UIControl::FindById(const std::wstring& id, int depth) {
  if (id_ == id)
    return this;
  if (++depth >= kMaxTreeDepth)
    return nullptr;
  for (UIControl* child : children_) {
    if (UIControl* found = child->FindById(id, depth))
      return found;
  }
  return nullptr;
}

void UIControl::AttachHost(IUIContainer* host, int depth) {
  host_ = host;
  if (++depth >= kMaxTreeDepth)
    return;
  for (UIControl* child : children_)
    child->AttachHost(host, depth);
}

std::wstring UIControl::GetAttribute(const std::wstring& name) const {
  return attributes_.Get(name);
}

void UIControl::SetText(const std::wstring& text) {
  SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool UIControl::IsVisible() const {
  return (flagsA_ & kFlagVisible) != 0;
}
bool UIControl::IsEnabled() const {
  return (flagsA_ & kFlagEnabled) && !(state_ & kStateDisabled);
}
bool UIControl::IsSelected() const {
  return (flagsA_ & kFlagSelect) != 0;
}
bool UIControl::IsFloat() const {
  return (flagsA_ & kFlagFloat) != 0;
}
bool UIControl::IsAdjusting() const {
  return (flagsB_ & kFlagAdj) != 0;
}
bool UIControl::IsHitTestable() const {
  return (flagsA_ & kFlagHit) != 0;
}
bool UIControl::IsRemoved() const {
  return (flagsA_ & kFlagRemoved) != 0;
}
bool UIControl::WantsParentWidth() const {
  return (flagsB_ & kFlagWidthParent) != 0;
}
bool UIControl::WantsParentHeight() const {
  return (flagsB_ & kFlagHeightParent) != 0;
}
bool UIControl::WantsParentPos() const {
  return (flagsA_ & kFlagPosParent) != 0;
}
bool UIControl::IsContainer() const {
  return (flagsB_ & kFlagContainer) != 0;
}
void UIControl::SetRelayoutOwed(bool owed) {
  SetFlag(flagsB_, kFlagRelayoutOwed, owed);
}
bool UIControl::IsRelayoutOwed() const {
  return (flagsB_ & kFlagRelayoutOwed) != 0;
}

bool UIControl::IsEffectivelyVisibleAndEnabled() const {
  for (const UIControl* c = this; c; c = c->parent_) {
    if (!c->IsVisible() || !c->IsEnabled() || (c->state_ & kStateHidden))
      return false;
  }
  return true;
}

void UIControl::SetFocusable(bool focusable) {
  SetFlag(flagsB_, kFlagFocusable, focusable);
}
void UIControl::SetEventSink(bool sink) {
  SetFlag(flagsC_, kFlagEventSink, sink);
}
bool UIControl::IsEventSink() const {
  return (flagsC_ & kFlagEventSink) != 0;
}

void UIControl::SetPos(int x, int y, int width, int height) {
  RECT r = {x, y, AddSaturated(x, width), AddSaturated(y, height)};
  if (EqualRect(&r, &rect_))
    return;
  bool resized = width != GetWidth() || height != GetHeight();
  Invalidate();
  rect_ = r;
  if (resized || (flagsB_ & kFlagLayoutPending)) {
    flagsB_ &= ~kFlagLayoutPending;
    Relayout();
  }
  Invalidate();
}

void UIControl::Place(int x, int y, int width, int height) {
  RECT r = {x, y, AddSaturated(x, width), AddSaturated(y, height)};
  if (EqualRect(&r, &rect_)) {
    Relayout();
    Invalidate();
    return;
  }
  Invalidate();
  rect_ = r;
  SendMessage(WM_SIZE, 0, MAKELPARAM(width & 0xFFFF, height & 0xFFFF));
  Invalidate();
}

RECT UIControl::WindowRect() const {
  RECT r = rect_;
  for (const UIControl* p = parent_; p; p = p->parent_)
    OffsetRect(&r, p->rect_.left, p->rect_.top);
  return r;
}

RECT UIControl::ScreenRect() const {
  RECT r = WindowRect();
  if (host_ && host_->GetHwnd()) {
    POINT origin = {0, 0};
    ClientToScreen(host_->GetHwnd(), &origin);
    OffsetRect(&r, origin.x, origin.y);
  }
  return r;
}

void UIControl::InvalidateBeforeHiding() {
  // Once the visible flag is off Invalidate does nothing, so the old area is marked now.
  if (!(flagsA_ & kFlagVisible))
    return;
  if (parent_)
    parent_->Invalidate(&rect_);
  else
    Invalidate();
}

void UIControl::SetVisible(bool visible, bool notify) {
  if (notify) {
    SendMessage(WM_SHOWWINDOW, visible, 0);
    return;
  }
  if (!visible)
    InvalidateBeforeHiding();
  SetFlag(flagsA_, kFlagVisible, visible);
  Invalidate();
}

void UIControl::SetEnabled(bool enabled) {
  SendMessage(WM_ENABLE, enabled, 0);
}

LRESULT UIControl::SendMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  UIMessage m;
  m.hwnd = host_ ? host_->GetHwnd() : nullptr;
  m.message = message;
  m.wparam = wparam;
  m.lparam = lparam;
  m.x = static_cast<short>(LOWORD(lparam));
  m.y = static_cast<short>(HIWORD(lparam));
  UIRef<UIControl> keep(this);
  const UIMessage* previous = current_;
  current_ = &m;
  OnMessage(m);
  current_ = previous;
  return m.result;
}

int UIControl::FireEvent(const char* name, int param1, int param2) {
  UIRef<UIControl> keep(this);
  UIEvent event;
  event.sender = this;
  event.name = name;
  event.id = id_;
  event.param1 = param1;
  event.param2 = param2;
  auto listeners = listeners_;
  for (const auto& l : listeners) {
    if (l.second)
      l.first(l.second, event);
  }
  for (UIControl* p = parent_; p; p = p->parent_) {
    if (p->IsEventSink() && p->OnChildEvent(event))
      return event.result;
  }
  if (host_)
    event.result = host_->FireEvent(this, name, param1, param2);
  return event.result;
}

void UIControl::AddListener(UIEventListener callback, void* data) {
  listeners_.emplace_back(callback, data);
}

void UIControl::RemoveListener(UIEventListener callback, void* data) {
  listeners_.erase(
      std::remove(listeners_.begin(), listeners_.end(), std::make_pair(callback, data)),
      listeners_.end());
}

UINT_PTR UIControl::TimerId(uint32_t handle, int index) {
  return static_cast<UINT_PTR>((handle & 0xFFFFFFu) | (static_cast<uint32_t>(index | 0x80) << 24));
}

bool UIControl::SetTimer(int index, UINT milliseconds) {
  if (!host_ || !host_->GetHwnd() || index < 0 || index > 127)
    return false;
  return ::SetTimer(host_->GetHwnd(), TimerId(handle_, index), milliseconds, nullptr) != 0;
}

void UIControl::KillTimer(int index) {
  if (host_ && host_->GetHwnd() && index >= 0 && index <= 127)
    ::KillTimer(host_->GetHwnd(), TimerId(handle_, index));
}

void UIControl::SetState(unsigned state) {
  if (state == state_)
    return;
  unsigned old = state_;
  state_ = state;
  OnStateChanged(old, state);
}
