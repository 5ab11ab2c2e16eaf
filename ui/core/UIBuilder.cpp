#include "ui/core/UIBuilder.h"

#include <string_view>

#include "sys/StringFormat.h"
#include "ui/core/UIControl.h"
#include "ui/core/UIResLoader.h"
#include "xml/XmlDocument.h"

using namespace std::string_view_literals;

namespace {

struct Factory {
  std::map<std::wstring, UIControlCreator> creators;
  bool filled = false;
};

Factory& TheFactory() {
  static Factory factory;
  return factory;
}

UIControlCreatedHook createdHook = nullptr;

UIControl* NewPlainControl() {
  return new UIControl;
}

}  // namespace

void EnsureControlFactory() {
  Factory& f = TheFactory();
  if (f.filled)
    return;
  f.filled = true;
  // emplace: a registration made before the fill keeps its creator.
  f.creators.emplace(L"UIWnd", &NewPlainControl);
  f.creators.emplace(L"UIControl", &NewPlainControl);
}

void RegisterControlClass(const std::wstring& name, UIControlCreator creator) {
  EnsureControlFactory();
  TheFactory().creators[name] = creator;
}

UIControl* CreateControl(const std::wstring& name) {
  EnsureControlFactory();
  auto& creators = TheFactory().creators;
  auto it = creators.find(name);
  return it != creators.end() && it->second ? it->second() : nullptr;
}

void SetControlCreatedHook(UIControlCreatedHook hook) {
  createdHook = hook;
}

UIControlCreatedHook GetControlCreatedHook() {
  return createdHook;
}

UIControl* UIBuilder::BuildFromFile(UIControl* parent, const std::wstring& path) {
  UIResLoader* loader = GetResLoader();
  if (!loader)
    return nullptr;
  return BuildFromText(parent, Utf8ToWide(loader->LoadText(path)));
}

UIControl* UIBuilder::BuildFromText(UIControl* parent, const std::wstring& text) {
  if (text.empty() || includeDepth_ >= kMaxIncludeDepth)
    return nullptr;
  if (includeDepth_ == 0) {
    built_ = 0;
    depth_ = 0;
    for (UIControl* c = parent; c; c = c->GetParent())
      ++depth_;
  }
  XmlDocument reader;
  if (!reader.SetDocumentText(text) || !reader.FindElement())
    return nullptr;
  ++includeDepth_;
  UIControl* arranging = arrangingParent_;
  arrangingParent_ = nullptr;
  const size_t owedFrom = owed_.size();
  textRoot_ = true;
  UIControl* root = BuildElement(parent, reader);
  textRoot_ = false;
  arrangingParent_ = arranging;
  --includeDepth_;
  if (root)
    root->Relayout();
  SettleOwed(owedFrom);
  return root;
}

UIBuilder::~UIBuilder() = default;

void UIBuilder::SettleOwed(size_t from) {
  // Latest first: a control was entered after the descendants it arranges.
  for (size_t i = owed_.size(); i-- > from;) {
    if (owed_[i]->IsRelayoutOwed())
      owed_[i]->Relayout();
  }
  owed_.resize(from);
}

UIControl* UIBuilder::NewControl(const std::wstring& tag) {
  auto local = local_.find(tag);
  if (local != local_.end() && local->second) {
    if (UIControl* c = local->second())
      return c;
  }
  return CreateControl(tag);
}

UIControl* UIBuilder::BuildElement(UIControl* parent, XmlDocument& reader) {
  if (depth_ >= kMaxTreeDepth || built_ >= kMaxBuiltControls)
    return nullptr;
  const bool textRoot = textRoot_;
  textRoot_ = false;
  std::wstring tag = reader.GetNodeName();
  bool include = tag == L"node"sv;
  UIControl* control = nullptr;
  if (include) {
    control = BuildFromFile(parent, reader.GetAttribute(L"file"));
    if (!control)
      return nullptr;
  } else {
    control = NewControl(tag);
    if (!control)
      return nullptr;
    ++built_;
    if (createdHook)
      createdHook(control);
    control->AttachHost(host_);
    if (parent)
      parent->AddChild(control);
  }

  for (int i = 0; reader.GetAttributeAt(i, &name_, &value_); ++i)
    control->SetAttribute(name_, value_);

  const size_t owedFrom = owed_.size();
  if (depth_ + 1 < kMaxTreeDepth && reader.EnterElement()) {
    UIControl* arranging = arrangingParent_;
    arrangingParent_ = !include && control->GetLayout() ? control : nullptr;
    ++depth_;
    while (reader.FindElement())
      BuildElement(control, reader);
    --depth_;
    arrangingParent_ = arranging;
    reader.LeaveElement();
  }

  if (!include) {
    control->SendMessage(WM_CREATE);
    if (control->GetLayout()) {
      if (textRoot) {
        // BuildFromText arranges it, and settles what it owes, next.
      } else if (parent && parent == arrangingParent_ && control->IsVisible() &&
                 !control->IsFloat()) {
        // Its parent's layout places it, which arranges it.
        control->SetRelayoutOwed(true);
        owed_.emplace_back(control);
      } else {
        control->Relayout();
        SettleOwed(owedFrom);
      }
    }
  }
  return control;
}
