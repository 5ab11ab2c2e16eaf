#include "ui/controls/UIBasicControls.h"

#include "ui/controls/UIButton.h"
#include "ui/controls/UICaption.h"
#include "ui/controls/UICheckBox.h"
#include "ui/controls/UIEdit.h"
#include "ui/controls/UIEditCtrl.h"
#include "ui/controls/UIGif.h"
#include "ui/controls/UIImage.h"
#include "ui/controls/UILabel.h"
#include "ui/controls/UINativeEdit.h"
#include "ui/controls/UIProgress.h"
#include "ui/controls/UISlider.h"
#include "ui/controls/UISwitch.h"
#include "ui/core/UIBuilder.h"

namespace {

template <class T>
UIControl* Make() {
  return new T;
}

}  // namespace

void RegisterBasicControls() {
  RegisterControlClass(L"UIButton", &Make<UIButton>);
  RegisterControlClass(L"UILabel", &Make<UILabel>);
  RegisterControlClass(L"UILink", &Make<UILink>);
  RegisterControlClass(L"UIGif", &Make<UIGif>);
  RegisterControlClass(L"UICheckBox", &Make<UICheckBox>);
  RegisterControlClass(L"UIRadioBox", &Make<UIRadioBox>);
  RegisterControlClass(L"UIProgress", &Make<UIProgress>);
  RegisterControlClass(L"UISwitch", &Make<UISwitch>);
  RegisterControlClass(L"UIImage", &Make<UIImage>);
  RegisterControlClass(L"UISlider", &Make<UISlider>);
  RegisterControlClass(L"UICaption", &Make<UICaption>);
  RegisterControlClass(L"UIEditCtrl", &Make<UIEditCtrl>);
  RegisterControlClass(L"UINativeEdit", &Make<UINativeEdit>);
  RegisterControlClass(L"UIEdit", &Make<UIEdit>);
}
