#include "app/AppControls.h"

#include "pages/ControlDefaults.h"
#include "pages/PageAdd.h"
#include "pages/TimeComBo.h"
#include "ui/core/UIBuilder.h"
#include "ui/core/UIControl.h"

namespace {

// The list page area is a plain container until its class takes the name.
UIControl* NewPlainControl() {
  return CreateControl(L"UIControl");
}

}  // namespace

void RegisterAppControls() {
  EnsureControlFactory();
  RegisterPageAdd();
  RegisterControlClass(L"PageList", NewPlainControl);
  RegisterTimeComBo();
  SetControlCreatedHook(ApplyControlDefaults);
}
