#include "app/AppControls.h"

#include "pages/ControlDefaults.h"
#include "pages/TimeComBo.h"
#include "ui/core/UIBuilder.h"
#include "ui/core/UIControl.h"

namespace {

// The page areas are plain containers until the page classes take their names.
UIControl* NewPlainControl() {
  return CreateControl(L"UIControl");
}

}  // namespace

void RegisterAppControls() {
  EnsureControlFactory();
  RegisterControlClass(L"PageAdd", NewPlainControl);
  RegisterControlClass(L"PageList", NewPlainControl);
  RegisterTimeComBo();
  SetControlCreatedHook(ApplyControlDefaults);
}
