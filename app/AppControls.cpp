#include "app/AppControls.h"

#include "pages/ControlDefaults.h"
#include "pages/PageList.h"
#include "pages/TimeComBo.h"
#include "ui/core/UIBuilder.h"
#include "ui/core/UIControl.h"

namespace {

// The add page is a plain container until its class takes the name.
UIControl* NewPlainControl() {
  return CreateControl(L"UIControl");
}

}  // namespace

void RegisterAppControls() {
  EnsureControlFactory();
  RegisterControlClass(L"PageAdd", NewPlainControl);
  RegisterPageList();
  RegisterTimeComBo();
  SetControlCreatedHook(ApplyControlDefaults);
}
