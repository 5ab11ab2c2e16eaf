#include "pages/ControlDefaults.h"

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ui/core/UIControl.h"

namespace {

struct Default {
  const char* className;
  const wchar_t* name;
  const wchar_t* value;
};

const Default kDefaults[] = {
    {"UIButton", L"cursor", L"hand"},
    {"UILabel", L"clr", L"#ff60656f"},
    {"UILabel", L"font", L"15"},
    {"UICheckBox", L"ckimg", L"img\\btn\\btn_checkbox2.png"},
    {"UICheckBox", L"unckimg", L"img\\btn\\btn_checkbox1.png"},
    {"UICheckBox", L"clr", L"#ff60656f"},
    {"UIRadioBox", L"ckimg", L"img\\btn\\btn_radiobox2.png"},
    {"UIRadioBox", L"unckimg", L"img\\btn\\btn_radiobox1.png"},
    {"UIRadioBox", L"clr", L"#ff60656f"},
    {"UIComboBox", L"back", L"img\\btn\\cb_back.png"},
    {"UIComboBox", L"thumb", L"img\\btn\\btn_arrow.png"},
    {"UIComboBox", L"clr", L"#ff60656f"},
    {"UIComboBox", L"clr3", L"#ffc4c8d0"},
    {"UIComboBox", L"font", L"14"},
};

using Attributes = std::vector<std::pair<std::wstring, std::wstring>>;

// The defaults of one class, looked up once: a layout makes hundreds of controls of a handful
// of classes. Classes are told by the address of the name they answer (a class whose name sits
// at two addresses merely gets two entries). Entries never move, so a SetAttribute that makes
// controls of a class not seen yet leaves the list being applied alone.
struct ClassDefaults {
  const char* className;
  Attributes attributes;
};

const Attributes& DefaultsOf(const char* className) {
  static std::vector<std::unique_ptr<ClassDefaults>> classes;
  for (const auto& c : classes) {
    if (c->className == className)
      return c->attributes;
  }
  auto c = std::make_unique<ClassDefaults>();
  c->className = className;
  for (const Default& d : kDefaults) {
    if (std::strcmp(d.className, className) == 0)
      c->attributes.emplace_back(d.name, d.value);
  }
  classes.push_back(std::move(c));
  return classes.back()->attributes;
}

}  // namespace

void ApplyControlDefaults(UIControl* control) {
  if (!control)
    return;
  for (const auto& a : DefaultsOf(control->GetClassName()))
    control->SetAttribute(a.first, a.second);
}
