#include "ui/controls/UIMessageBox.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

#include "ui/controls/UIControlPaint.h"
#include "ui/core/SkinBitmap.h"
#include "ui/core/UIBuilder.h"
#include "ui/core/UIFont.h"

namespace {

UIMessageBox::ShownHook shownHook = nullptr;

constexpr int kMinWidth = 300;
constexpr int kMaxWidth = 600;
constexpr int kMinHeight = 220;
constexpr int kMaxHeight = 400;
constexpr int kButtonWidth = 120;
constexpr int kButtonHeight = 40;
constexpr int kButtonPitch = 140;

// The text's extent without wrapping: every paragraph is one line.
Gdiplus::SizeF MeasureUnwrapped(const std::wstring& text, const Gdiplus::Font* font) {
  if (!font || text.empty())
    return Gdiplus::SizeF(0, 0);
  Gdiplus::Bitmap surface(1, 1, PixelFormat32bppARGB);
  Gdiplus::Graphics g(&surface);
  // The label draws with the default layout, whose padding a typographic measure leaves out:
  // measured that way, a one-line text lost its last character to a second line.
  Gdiplus::StringFormat format(Gdiplus::StringFormatFlagsNoWrap |
                               Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
  Gdiplus::RectF box(0, 0, 10000, 10000), bounds;
  g.MeasureString(text.c_str(), static_cast<INT>(text.size()), font, box, &format, &bounds);
  return Gdiplus::SizeF(bounds.Width, bounds.Height);
}

std::wstring PosText(int x, int y, int width, int height) {
  return std::to_wstring(x) + L"," + std::to_wstring(y) + L"," + std::to_wstring(width) + L"," +
         std::to_wstring(height);
}

}  // namespace

UIMessageBox::UIMessageBox(HWND owner,
                           std::wstring title,
                           std::wstring text,
                           std::vector<std::wstring> buttons,
                           std::wstring iconPath)
    : owner_(owner),
      title_(std::move(title)),
      text_(std::move(text)),
      buttons_(std::move(buttons)),
      iconPath_(std::move(iconPath)) {}

void UIMessageBox::SetShownHookForTesting(ShownHook hook) {
  shownHook = hook;
}

bool UIMessageBox::CreateHidden() {
  if (hwnd_)
    return true;
  // Shown only once centred, so that it never flashes at the screen's corner.
  if (!Create(owner_, WS_POPUP, kDialogExStyle, 0, 0, 200, 200))
    return false;
  CenterWindow();
  return true;
}

int UIMessageBox::Run() {
  if (!CreateHidden())
    return 0;
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  BringToFront();
  if (shownHook)
    shownHook(this);
  return RunModal(owner_);
}

SIZE UIMessageBox::ComputeSize(SIZE icon) const {
  std::unique_ptr<Gdiplus::Font> font = CreateUIFont(L"16");
  Gdiplus::SizeF extent = MeasureUnwrapped(text_, font.get());
  int textWidth = static_cast<int>(extent.Width);
  int textHeight = static_cast<int>(extent.Height);
  int width = textWidth + 1 + 40;
  int height = textHeight + 130 - (textHeight <= 100 ? 30 : 0);
  if (icon.cx > 0)
    width += icon.cx + 10;
  int count = static_cast<int>(buttons_.size());
  width = std::max(width, count * 160 + 50);
  return {std::clamp(width, kMinWidth, kMaxWidth), std::clamp(height, kMinHeight, kMaxHeight)};
}

UIControl* UIMessageBox::AddControl(
    UIControl* parent,
    const wchar_t* className,
    const std::vector<std::pair<std::wstring, std::wstring>>& attributes) {
  UIControl* control = CreateControl(className);
  if (!control)
    return nullptr;
  parent->AddChild(control);
  // As the builder does: attributes apply once the control is in the tree.
  for (const auto& attribute : attributes)
    control->SetAttribute(attribute.first, attribute.second);
  return control;
}

void UIMessageBox::OnInitialized() {
  buttonControls_.clear();
  SkinBitmap* iconImage = iconPath_.empty() ? nullptr : LoadSkinImage(iconPath_);
  SIZE icon = {0, 0};
  if (iconImage && iconImage->GetWidth() > 0 && iconImage->GetHeight() > 0)
    icon = {static_cast<LONG>(iconImage->GetWidth()), static_cast<LONG>(iconImage->GetHeight())};
  SIZE size = ComputeSize(icon);
  const int w = size.cx;
  const int h = size.cy;
  SetWindowPos(hwnd_, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

  UIControl* top = AddControl(&root_, L"UIWnd", {{L"pos", PosText(0, 0, w, h)}});
  if (!top)
    return;
  AddControl(top, L"UIControl",
             {{L"pos", PosText(0, 0, w, h)},
              {L"back", L"img:file=img\\msgbox\\bg.png|type=3"},
              {L"hit", L"false"}});
  AddControl(top, L"UIControl",
             {{L"pos", PosText(10, 8, 20, 20)},
              {L"back", L"img:file=img\\ico24.png"},
              {L"hit", L"false"}});
  AddControl(top, L"UILabel", {{L"pos", PosText(35, 5, w - 80, 30)}, {L"txt", title_}});
  closeButton_ =
      AddControl(top, L"UIButton",
                 {{L"pos", PosText(w - 30, 10, 20, 20)}, {L"btn", L"img\\msgbox\\btn_close.png"}});
  std::wstring textPos = PosText(20, 40, w - 40, h - 100);
  if (icon.cx > 0) {
    // UIImage takes the bare pack path, not a render descriptor.
    iconControl_ = AddControl(top, L"UIImage",
                              {{L"pos", PosText(20, h / 2 - icon.cy / 2 - 10, icon.cx, icon.cy)},
                               {L"back", iconPath_},
                               {L"hit", L"false"}});
    textPos = PosText(icon.cx + 30, 40, w - icon.cx - 50, h - 100);
  }
  textLabel_ = AddControl(top, L"UILabel",
                          {{L"pos", textPos},
                           {L"clr", L"#ff60656f"},
                           {L"font", L"16"},
                           {L"multi", L"true"},
                           {L"vert", L"1"},
                           {L"hit", L"false"},
                           {L"txt", text_}});
  const int count = static_cast<int>(buttons_.size());
  int x = (w - count * kButtonPitch - 20) / 2 + 20;
  for (int i = 0; i < count; ++i, x += kButtonPitch) {
    bool primary = i == count - 1;
    buttonControls_.push_back(
        AddControl(top, L"UIButton",
                   {{L"pos", PosText(x, h - 60, kButtonWidth, kButtonHeight)},
                    {L"btn", primary ? L"img\\msgbox\\btnb.png" : L"img\\msgbox\\btnw.png"},
                    {L"clr", primary ? L"#ffffffff" : L"#ff60656f"},
                    {L"horz", L"1"},
                    {L"font", L"16"},
                    {L"txt", buttons_[i]}}));
  }
  PlaceRoot(w, h);
}

int UIMessageBox::OnEvent(UIEvent& event) {
  if (event.name == "click" && event.sender) {
    if (event.sender == closeButton_) {
      EndModal(kClosed);
      return 1;
    }
    auto it = std::find(buttonControls_.begin(), buttonControls_.end(), event.sender);
    if (it != buttonControls_.end()) {
      EndModal(static_cast<int>(it - buttonControls_.begin()) + 1);
      return 1;
    }
  }
  return UIHostWnd::OnEvent(event);
}

bool UIMessageBox::HandleMessage(HWND hwnd,
                                 UINT message,
                                 WPARAM wparam,
                                 LPARAM lparam,
                                 LRESULT* result) {
  if (message == WM_KEYDOWN && wparam == VK_ESCAPE && IsModalRunning()) {
    *result = 0;
    EndModal(kClosed);
    return true;
  }
  return UIHostWnd::HandleMessage(hwnd, message, wparam, lparam, result);
}

int ShowMessageBox(HWND owner,
                   const std::wstring& title,
                   const std::wstring& text,
                   const std::vector<std::wstring>& buttons,
                   const std::wstring& iconPath) {
  UIMessageBox box(owner, title, text, buttons, iconPath);
  return box.Run();
}
