#pragma once

#include <map>
#include <string>
#include <vector>

#include "ui/core/UIRefObj.h"

class IUIContainer;
class UIControl;
class XmlDocument;

// Makes a new control holding one reference, or null.
using UIControlCreator = UIControl* (*)();
// Called for every control the builder makes, before the element's attributes apply.
using UIControlCreatedHook = void (*)(UIControl* control);

// The process-wide class factory: element name (exact case) -> creator. The framework's own
// names ("UIWnd", "UIControl") are entered on first use; the controls library and the
// application add theirs with RegisterControlClass before the first layout is built, a later
// registration of a name replacing its creator. UI thread only.
void RegisterControlClass(const std::wstring& name, UIControlCreator creator);
// Enters the framework's names once; later calls do nothing.
void EnsureControlFactory();
// A new control of the registered class, or null for an unknown name.
UIControl* CreateControl(const std::wstring& name);
void SetControlCreatedHook(UIControlCreatedHook hook);
// The hook in force (null when none): controls made by code outside the builder run it too.
UIControlCreatedHook GetControlCreatedHook();

// Builds control trees from layout XML read through the process-wide resource loader.
//
// Every element names a control class; its attributes go to SetAttribute in document order,
// after the control is in the tree. A "node" element includes another layout file in its place
// and adds its own attributes and children to the included root. Unknown elements are skipped
// with their whole subtree. A missing or unparsable file, or a root element that builds nothing,
// gives null (the asking window stays empty). Includes nest at most kMaxIncludeDepth deep, so a
// file that includes itself ends instead of recursing. Hostile layouts are bounded too: elements
// that would sit deeper than kMaxTreeDepth levels below the top of the tree (counting the
// parent's ancestors) are skipped with their subtrees, and one outermost build makes at most
// kMaxBuiltControls controls (two self-includes would otherwise make billions).
//
// Ownership: the returned control is owned by `parent` when one was given (the parent holds the
// factory's reference); without a parent the caller holds it.
class UIBuilder {
 public:
  static constexpr int kMaxIncludeDepth = 32;
  static constexpr int kMaxBuiltControls = 100000;

  explicit UIBuilder(IUIContainer* host = nullptr) : host_(host) {}
  ~UIBuilder();

  // Classes consulted before the global factory (for this builder only).
  void RegisterLocalClass(const std::wstring& name, UIControlCreator creator) {
    local_[name] = creator;
  }

  UIControl* BuildFromFile(UIControl* parent, const std::wstring& path);
  // Builds from layout text directly (the same rules as a file).
  UIControl* BuildFromText(UIControl* parent, const std::wstring& text);
  // `reader` is on an element; it is left on the same element.
  UIControl* BuildElement(UIControl* parent, XmlDocument& reader);

 private:
  UIControl* NewControl(const std::wstring& tag);
  // Arranges the controls entered from `from` on that no arranging has reached, and drops them.
  void SettleOwed(size_t from);

  IUIContainer* host_;
  std::map<std::wstring, UIControlCreator> local_;
  int includeDepth_ = 0;
  int depth_ = 0;  // levels above the element being built
  int built_ = 0;  // controls made by the outermost build under way
  // One element's attribute at a time, their space reused from element to element.
  std::wstring name_;
  std::wstring value_;
  // Each tree is arranged once: a child whose parent's layout will place it (and so arrange it)
  // leaves its own arranging to that, and waits here until the parent is arranged, in case that
  // did not reach it.
  UIControl* arrangingParent_ = nullptr;
  std::vector<UIRef<UIControl>> owed_;
  bool textRoot_ = false;
};
