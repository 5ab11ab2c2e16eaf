#include "ui/controls/UIListControls.h"

#include "ui/controls/UIComboBox.h"
#include "ui/controls/UIScrollBar.h"
#include "ui/controls/UIScrollVertView.h"
#include "ui/core/UIBuilder.h"

namespace {

template <class T>
UIControl* Make() {
  return new T;
}

}  // namespace

void RegisterListControls() {
  RegisterControlClass(L"UIScrollView", &Make<UIScrollView>);
  RegisterControlClass(L"UIScrollVertView", &Make<UIScrollVertView>);
  RegisterControlClass(L"UIScrollBar", &Make<UIScrollBar>);
  RegisterControlClass(L"UIComboBox", &Make<UIComboBox>);
}
