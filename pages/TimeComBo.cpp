#include "pages/TimeComBo.h"

#include <algorithm>
#include <cstdio>

#include "ui/controls/UIScrollVertView.h"
#include "ui/core/UIBuilder.h"

namespace {

const wchar_t kTextColour[] = L"#ff60656f";

// Children made here are not built from a layout, so the application's defaults would not
// reach them otherwise (the lists take their field images from there).
template <class T>
T* WithDefaults(T* control) {
  if (UIControlCreatedHook hook = GetControlCreatedHook())
    hook(control);
  return control;
}

UILabel* NewSeparator() {
  UILabel* label = WithDefaults(new UILabel);
  label->SetAttribute(L"clr", kTextColour);
  label->SetAttribute(L"horz", L"1");
  label->SetText(L":");
  return label;
}

UIControl* CreateTimeComBo() {
  return new TimeComBo;
}

}  // namespace

TimeComboList::TimeComboList(int count) {
  for (int i = 0; i < count; ++i) {
    wchar_t text[8];
    swprintf(text, 8, L"%02d", i);
    AddItem(text);
  }
  SetSelected(0);
}

RECT TimeComboList::GetTextRect() const {
  return RECT{0, 0, GetWidth(), GetHeight()};
}

int TimeComboList::GetDropWidth() const {
  return std::max(GetWidth(), kMinDropWidth);
}

void TimeComboList::CreateDropList() {
  bool first = drop_list() == nullptr;
  UIComboBox::CreateDropList();
  if (first && drop_list())
    drop_list()->view()->SetAttribute(L"hscrollwidth", std::to_wstring(kDropScrollWidth));
}

TimeComBo::TimeComBo()
    : hours_(WithDefaults(new TimeComboList(24))),
      firstSeparator_(NewSeparator()),
      minutes_(WithDefaults(new TimeComboList(60))),
      secondSeparator_(NewSeparator()),
      seconds_(WithDefaults(new TimeComboList(60))) {
  SetAttribute(L"layout", L"horz");
  for (TimeComboList* list : {hours_, minutes_, seconds_}) {
    list->SetAttribute(L"clr", kTextColour);
    list->SetAttribute(L"cursor", L"hand");
    list->SetAttribute(L"horz", L"1");
  }
  AddChild(hours_);
  AddChild(firstSeparator_);
  AddChild(minutes_);
  AddChild(secondSeparator_);
  AddChild(seconds_);
}

bool TimeComBo::IsDurationForm() const {
  return firstSeparator_->GetText() != L":";
}

void TimeComBo::SetDurationForm(bool duration) {
  firstSeparator_->SetText(duration ? L"时" : L":");
  secondSeparator_->SetText(duration ? L"分" : L":");
  Relayout();
}

void TimeComBo::Relayout() {
  int height = GetHeight();
  int separator = IsDurationForm() ? kDurationSeparatorWidth : kClockSeparatorWidth;
  int list = std::max(0, (GetWidth() - 2 * separator) / 3);
  for (UIControl* child : GetChildren()) {
    bool isSeparator = child == firstSeparator_ || child == secondSeparator_;
    child->SetPos(0, 0, isSeparator ? separator : list, height);
  }
  UIControl::Relayout();
}

void TimeComBo::SetTime(int hour, int minute, int second) {
  // Out-of-range values (a hand-edited task file) select nothing rather than a wrong entry.
  hours_->SetSelected(hour);
  minutes_->SetSelected(minute);
  seconds_->SetSelected(second);
}

void RegisterTimeComBo() {
  RegisterControlClass(L"TimeComBo", &CreateTimeComBo);
}
