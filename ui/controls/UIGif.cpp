#include "ui/controls/UIGif.h"

#include <cwchar>

#include "sys/Clock.h"
#include "sys/StringFormat.h"
#include "ui/controls/UIControlPaint.h"
#include "ui/core/SkinBitmap.h"
#include "ui/core/UIGraphics.h"

bool IsSingleIntFormat(const std::wstring& format) {
  int conversions = 0;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != L'%')
      continue;
    if (++i < format.size() && format[i] == L'%')
      continue;
    while (i < format.size() && std::wcschr(L"-+ #0", format[i]))
      ++i;
    while (i < format.size() && format[i] >= L'0' && format[i] <= L'9')
      ++i;
    if (i >= format.size() || !std::wcschr(L"diuxX", format[i]))
      return false;
    ++conversions;
  }
  return conversions == 1;
}

void UIGif::SetFrames(const std::wstring& frames) {
  frames_.clear();
  index_ = 0;
  size_t bar1 = frames.find(L'|');
  size_t bar2 = bar1 == std::wstring::npos ? bar1 : frames.find(L'|', bar1 + 1);
  if (bar2 == std::wstring::npos)
    return;
  int first = ParseDecimal(frames.substr(0, bar1));
  int last = ParseDecimal(frames.substr(bar1 + 1, bar2 - bar1 - 1));
  std::wstring format = frames.substr(bar2 + 1);
  if (!IsSingleIntFormat(format) || last < first ||
      static_cast<long long>(last) - first >= kMaxFrames)
    return;
  for (int i = first;; ++i) {
    wchar_t path[260];
    int n = std::swprintf(path, 260, format.c_str(), i);
    if (n > 0)
      frames_.emplace_back(path, static_cast<size_t>(n));
    if (i == last)
      break;
  }
}

bool UIGif::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"gif") {
    SetFrames(value);
    Invalidate();
  } else if (name == L"startgif") {
    Start();
  } else if (name == L"stopgif") {
    Stop();
  } else if (name == L"fresh") {
    Step();
  } else if (name == L"autoshowhide") {
    autoShowHide_ = value == L"true";
  } else {
    return UIControl::ApplyAttribute(name, value);
  }
  return true;
}

void UIGif::Start() {
  SetTimer(kTimerIndex, kTimerMs);
  if (autoShowHide_)
    SetVisible(true);
}

void UIGif::Stop() {
  KillTimer(kTimerIndex);
  if (autoShowHide_)
    SetVisible(false);
}

void UIGif::Step() {
  if (frames_.empty() || !IsVisible() || (GetState() & kStateHidden))
    return;
  if (drawnOnce_ && SystemClock().MonotonicMs() - lastDrawn_ <= kFrameMs)
    return;
  index_ = (index_ + 1) % frames_.size();
  Invalidate();
}

void UIGif::Paint(Gdiplus::Graphics& graphics) {
  UIControl::Paint(graphics);
  if (frames_.empty())
    return;
  lastDrawn_ = SystemClock().MonotonicMs();
  drawnOnce_ = true;
  SkinBitmap* image = LoadSkinImage(frames_[index_]);
  if (!image)
    return;
  int w = static_cast<int>(image->GetWidth()), h = static_cast<int>(image->GetHeight());
  DrawImageStretched(graphics, image,
                     Gdiplus::Rect((GetWidth() - w) / 2, (GetHeight() - h) / 2, w, h),
                     Gdiplus::Rect(0, 0, w, h));
}

void UIGif::OnMessage(UIMessage& message) {
  if (message.message == WM_TIMER && message.wparam == kTimerIndex) {
    Step();
    return;
  }
  UIControl::OnMessage(message);
}
