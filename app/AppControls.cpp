#include "app/AppControls.h"

#include "pages/ControlDefaults.h"
#include "pages/PageAdd.h"
#include "pages/PageList.h"
#include "pages/TimeComBo.h"
#include "ui/core/UIBuilder.h"

void RegisterAppControls() {
  EnsureControlFactory();
  RegisterPageAdd();
  RegisterPageList();
  RegisterTimeComBo();
  SetControlCreatedHook(ApplyControlDefaults);
}
