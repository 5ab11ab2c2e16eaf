#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "sys/GdiplusApi.h"
#include "ui/core/IUIContainer.h"
#include "ui/core/UIAttributeMap.h"
#include "ui/core/UIRefObj.h"

class UIControl;
class UILayout;
class UIRender;

// The deepest a tree may go: the builder makes no deeper tree from a layout, and the recursive
// passes (painting, id search, host attachment) stop at this many levels, so that a tree
// nested without end cannot overflow the stack.
constexpr int kMaxTreeDepth = 256;

// One message as a control receives it. x and y are the signed low and high words of lparam.
struct UIMessage {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wparam = 0;
  LPARAM lparam = 0;
  int x = 0;
  int y = 0;
  LRESULT result = 0;
};

// A control's event ("click", "checkchanged", ...) on its way to listeners, event sinks and the
// window's OnEvent. The sender is referenced for the event's duration.
struct UIEvent {
  UIControl* sender = nullptr;
  std::string name;
  std::wstring id;
  int param1 = 0;
  int param2 = 0;
  int result = 0;
};

// Observes the events of one control; `data` is what AddListener was given (never null when
// called). It may set event.result.
using UIEventListener = void (*)(void* data, UIEvent& event);

// A windowless control: a node of the tree that a host window owns, paints and feeds with
// messages. UI thread only (the handle registry alone is locked, see ResolveControl).
//
// Ownership: a parent holds one reference to each child and releases it when the child is
// removed or the parent destroyed; painters and the layout belong to their control. Every
// property is settable by name: SetAttribute hands the value to ApplyAttribute, which
// subclasses override to interpret their own names (passing the rest to their base), and then
// records the raw value in the attribute map, known or not. Only SetAttribute records.
//
// Coordinates: the position rectangle is in the parent's client coordinates; HitTest takes
// window coordinates; ControlFromPoint takes the parent's. WindowRect is the rectangle in the
// host window's client coordinates (mouse messages, invalidation, native child windows);
// ScreenRect the same on the screen (pop-ups placed next to a control).
//
// Messages: SendMessage builds a UIMessage and calls OnMessage, the one place where a control
// takes its input. Subclasses override it, handle what they need and pass the rest to their
// base; UIControl's own OnMessage is the framework's handling (create 1, destroy 2, size 5,
// focus 7/8, enable 10, set text 12, show 24, mouse 512/516/517, wheel 522, hover 673, leave
// 675), which leaves every other message unhandled with result 0.
//
// Timers: SetTimer puts a native timer on the host window whose identifier carries this
// control's handle (low 24 bits) and (index | 0x80) (high 8 bits); the host delivers message
// 275 with wparam = index and kills the timer once the control is gone.
class UIControl : public UIRefObj {
 public:
  // State bits (GetState).
  enum : unsigned {
    kStateHover = 0x01,
    kStatePressed = 0x02,
    kStateActive = 0x04,  // shown with the pressed look, set by derived controls
    kStateHidden = 0x08,  // the control or an ancestor is invisible
    kStateDisabled = 0x10,
  };
  // Relatives for GetRelative.
  enum class Relative { kFirstChild, kLastChild, kPrevSibling, kNextSibling, kParent, kLink };

  UIControl();

  // --- Virtual operations, in slot order (UIRefObj's destructor and DeleteSelf are 0 and 1).
  ~UIControl() override;
  // Message 1, once the control's subtree has been built.
  virtual LRESULT OnCreate(LPARAM data);
  virtual void OnMessageReserved() {}
  virtual void OnStateChanged(unsigned oldState, unsigned newState) {}
  // Whether hover and leave repaint the control.
  virtual bool RedrawOnHover() const { return true; }
  virtual void OnRightClick(int x, int y) {}
  virtual bool IsTracking() const;
  virtual const char* GetClassName() const { return "UIControl"; }
  // Interprets one attribute; true when the name is one of this class or a base. Called by
  // SetAttribute only.
  virtual bool ApplyAttribute(const std::wstring& name, const std::wstring& value);
  // Paints the control itself (not its children) over (0, 0, width, height); the default draws
  // the background descriptor.
  virtual void Paint(Gdiplus::Graphics& graphics);
  // Narrows the clip to the "rgn" rounded rectangle when that radius is set.
  virtual void PaintClip(Gdiplus::Graphics& graphics);
  virtual SIZE GetDesiredSize() const;
  // Every message sent to the control; `message.result` is the answer.
  virtual void OnMessage(UIMessage& message);
  virtual RECT GetPadding() const { return padding_; }
  // (0, 0, width, height) deflated by the padding.
  virtual RECT GetClientRect() const;
  // Arranges the children (layout object, "pos"="parent" or "container") and invalidates.
  virtual void Relayout();
  // `rect` in this control's coordinates; null means the whole control. Does nothing while the
  // control's own visible flag is off.
  virtual void Invalidate(const RECT* rect = nullptr);
  // Only for controls with the event-sink flag: true stops the event there.
  virtual bool OnChildEvent(UIEvent& event) { return false; }
  virtual void OnReserved1() {}
  virtual void OnReserved2() {}
  virtual std::wstring GetTips() const { return tips_; }
  // Bit kWantsTab: the control takes the Tab key itself.
  virtual int GetKeyWants() const { return 0; }
  virtual bool UsesArrowNavigation() const { return false; }
  virtual bool IsFocusable() const;
  // Another control to receive the focus instead of this one; null means this one.
  virtual UIControl* GetFocusTarget() { return nullptr; }
  // `point` in window coordinates.
  virtual bool HitTest(POINT point) const;
  virtual int OnReserved3() { return 0; }
  virtual void ApplyCursor();
  // The topmost visible, enabled control under (x, y) (parent coordinates) that is
  // hit-testable; null when none.
  virtual UIControl* ControlFromPoint(int x, int y);
  // Whether Paint changes no pixel outside (0, 0, width, height), so that the paint pass may
  // leave out the clip to the control's own rectangle. A class knows it only for itself: the
  // answer is false for any subclass that does not answer anew.
  virtual bool PaintStaysInside() const;

  static constexpr int kWantsTab = 0x02;

  // --- Tree.
  // Takes over the caller's reference to `child`.
  void AddChild(UIControl* child);
  // Destroys the children, takes the control out of its parent and drops the parent's
  // reference (the control may be deleted on return).
  void Remove();
  UIControl* GetRelative(Relative kind) const;
  int IndexInParent() const;
  // Pre-order: this control, then each child and its subtree in order.
  UIControl* FindById(const std::wstring& id) { return FindById(id, 0); }
  const std::vector<UIControl*>& GetChildren() const { return children_; }
  UIControl* GetParent() const { return parent_; }
  void SetLink(UIControl* link) { link_ = link; }
  // Sets the host of this control and of its whole subtree.
  void AttachHost(IUIContainer* host) { AttachHost(host, 0); }
  IUIContainer* GetHost() const { return host_; }

  // --- Attributes and properties.
  // ApplyAttribute, then the raw value into the attribute map; true when the name was known.
  bool SetAttribute(const std::wstring& name, const std::wstring& value);
  // Empty when never set.
  std::wstring GetAttribute(const std::wstring& name) const;
  const std::wstring& GetText() const { return text_; }
  void SetText(const std::wstring& text);
  const std::wstring& GetId() const { return id_; }
  uint32_t GetHandle() const { return handle_; }
  unsigned GetState() const { return state_; }
  // Own visible flag.
  bool IsVisible() const;
  // Own enabled flag on and the disabled state bit clear.
  bool IsEnabled() const;
  bool IsSelected() const;
  bool IsFloat() const;
  bool IsAdjusting() const;
  bool IsHitTestable() const;
  // Taken out of its tree (Remove, a destroyed parent) or dying: the host treats it as gone.
  bool IsRemoved() const;
  // Visible and enabled on itself and on every ancestor.
  bool IsEffectivelyVisibleAndEnabled() const;
  void SetFocusable(bool focusable);
  void SetEventSink(bool sink);
  bool IsEventSink() const;
  UIRender* GetBackground() const { return background_; }
  UILayout* GetLayout() const { return layout_; }
  int GetRegionRadius() const { return rgn_; }
  // The second text kept for derived classes.
  std::wstring& ExtraText() { return extraText_; }

  // --- Geometry.
  const RECT& GetRect() const { return rect_; }
  int GetWidth() const { return rect_.right - rect_.left; }
  int GetHeight() const { return rect_.bottom - rect_.top; }
  // Absolute placement (the "pos" attribute); relayouts when the size changes.
  void SetPos(int x, int y, int width, int height);
  // Placement by a layout or a "parent" fill: always relayouts, through message 5 on change.
  void Place(int x, int y, int width, int height);
  void Place(const RECT& rect) {
    Place(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  }
  // The rectangle in the host window's client coordinates, and on the screen (the window's
  // client origin added; without a window both answer window coordinates).
  RECT WindowRect() const;
  RECT ScreenRect() const;
  bool WantsParentWidth() const;
  bool WantsParentHeight() const;
  bool WantsParentPos() const;
  bool IsContainer() const;
  // The builder's mark on a control whose arranging it left to the parent's: UIControl::Relayout
  // clears it, so a control still marked once the parent is arranged was not reached.
  void SetRelayoutOwed(bool owed);
  bool IsRelayoutOwed() const;

  // --- Visibility and enabling, through messages 24 and 10 when `notify` is set.
  void SetVisible(bool visible, bool notify = true);
  void SetEnabled(bool enabled);

  // --- Messages and events.
  LRESULT SendMessage(UINT message, WPARAM wparam = 0, LPARAM lparam = 0);
  // The message being handled (innermost send); null outside a send.
  const UIMessage* CurrentMessage() const { return current_; }
  // Set by handlers that consumed the message under way.
  bool handled = false;
  int FireEvent(const char* name, int param1 = 0, int param2 = 0);
  void AddListener(UIEventListener callback, void* data);
  void RemoveListener(UIEventListener callback, void* data);

  // --- Timers on the host window; index 0 to 127.
  bool SetTimer(int index, UINT milliseconds);
  void KillTimer(int index);
  static UINT_PTR TimerId(uint32_t handle, int index);

 protected:
  // Takes the control and its subtree out of handle resolution before the destructors run.
  void DeleteSelf() override;
  void SetState(unsigned state);
  // Sends 2 to every child, marks its subtree removed, detaches it and drops its reference.
  void DestroyChildren();
  bool BackgroundStaysInside() const;

  RECT rect_ = {};
  RECT padding_ = {};
  std::wstring text_;
  std::wstring extraText_;
  std::wstring tips_;
  UIControl* parent_ = nullptr;
  UIControl* link_ = nullptr;
  UILayout* layout_ = nullptr;
  UIRender* background_ = nullptr;
  IUIContainer* host_ = nullptr;
  int rgn_ = 0;
  unsigned state_ = 0;
  uint8_t flagsA_;
  uint8_t flagsB_;
  uint8_t flagsC_ = 0;
  LPCWSTR cursor_ = IDC_ARROW;
  std::wstring id_;
  std::vector<UIControl*> children_;

 private:
  // The framework's handling of the messages listed in the class comment; false for the others.
  bool ProcessMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result);
  void MarkSubtreeRemoved();
  // `depth` is this control's level below where the walk began.
  UIControl* FindById(const std::wstring& id, int depth);
  void AttachHost(IUIContainer* host, int depth);
  void InvalidateBeforeHiding();
  void ApplyStyle(const std::wstring& name);
  void SetLayoutFromAttribute(const std::wstring& value);
  void SetBackgroundFromAttribute(const std::wstring& value);

  uint32_t handle_ = 0;
  UIAttributeMap attributes_;
  std::vector<std::pair<UIEventListener, void*>> listeners_;
  const UIMessage* current_ = nullptr;
};

// The live control with this handle, or null when it has been destroyed. Thread-safe.
UIControl* ResolveControl(uint32_t handle);
