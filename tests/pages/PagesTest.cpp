#include "tests/pages/PagesTest.h"

#include "pages/ControlDefaults.h"
#include "pages/PageAdd.h"
#include "pages/PageList.h"
#include "pages/TimeComBo.h"
#include "sys/Files.h"
#include "ui/controls/UIBasicControls.h"
#include "ui/controls/UIListControls.h"
#include "ui/controls/UIMessageBox.h"
#include "ui/core/UIBuilder.h"
#include "ui/core/UIFont.h"

std::string PagesTest::TestSkin::LoadText(const std::wstring& path) {
  auto it = extra.find(path);
  return it != extra.end() ? it->second : pack.LoadText(path);
}

void PagesTest::SetUp() {
  const std::wstring tests = GetModuleDirectory();
  skin_.bytes = ReadFileBytes(tests.substr(0, tests.find_last_of(L'\\')) + L"\\skin\\skin.pk");
  ASSERT_TRUE(!skin_.bytes.empty() && skin_.pack.LoadPack(skin_.bytes.data(), skin_.bytes.size()));
  previous_ = GetResLoader();
  SetResLoader(&skin_);
  RegisterBasicControls();
  RegisterListControls();
  RegisterTimeComBo();
  RegisterPageAdd();
  RegisterPageList();
  SetControlCreatedHook(&ApplyControlDefaults);
}

void PagesTest::TearDown() {
  UIMessageBox::SetShownHookForTesting(nullptr);
  SetControlCreatedHook(nullptr);
  SetResLoader(previous_);
  ReleaseDefaultUIFont();
}

void LayoutHost::Click(UIControl* control) {
  RECT r = control->WindowRect();
  LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  SendMessageW(hwnd(), WM_MOUSEMOVE, 0, at);
  SendMessageW(hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(hwnd(), WM_LBUTTONUP, 0, at);
}
