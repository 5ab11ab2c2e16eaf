#include "pages/ControlDefaults.h"

#include <cstring>

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

}  // namespace

void ApplyControlDefaults(UIControl* control) {
  if (!control)
    return;
  const char* className = control->GetClassName();
  for (const Default& d : kDefaults) {
    if (std::strcmp(d.className, className) == 0)
      control->SetAttribute(d.name, d.value);
  }
}
