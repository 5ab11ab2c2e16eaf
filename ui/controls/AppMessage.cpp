#include "ui/controls/AppMessage.h"

#include "ui/controls/UIMessageBox.h"

namespace {

const wchar_t kAppTitle[] = L"Quelm定时任务";

}  // namespace

const wchar_t* MessageIconPath(MessageIcon icon) {
  return icon == MessageIcon::Error ? L"img\\msgbox\\error.png" : L"img\\msgbox\\inf.png";
}

std::vector<std::wstring> SplitButtonLabels(const std::wstring& buttons) {
  std::vector<std::wstring> labels;
  if (buttons.empty())
    return labels;
  size_t start = 0;
  for (;;) {
    size_t bar = buttons.find(L'|', start);
    labels.push_back(buttons.substr(start, bar == std::wstring::npos ? bar : bar - start));
    if (bar == std::wstring::npos)
      return labels;
    start = bar + 1;
  }
}

int ShowAppMessage(HWND owner,
                   const std::wstring& text,
                   const std::wstring& buttons,
                   MessageIcon icon) {
  return ShowMessageBox(owner, kAppTitle, text, SplitButtonLabels(buttons), MessageIconPath(icon));
}
