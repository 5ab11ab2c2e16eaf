#include "ui/controls/UIProgress.h"

#include <algorithm>
#include <string>

#include "sys/StringFormat.h"
#include "ui/core/UIGraphics.h"
#include "ui/core/UIRenderImg.h"

namespace {

UIRenderImg* NewImagePainter(const std::wstring& path, int type) {
  auto* painter = new UIRenderImg;
  painter->SetAttribute(L"file", path);
  painter->SetAttribute(L"type", std::to_wstring(type));
  return painter;
}

void Replace(UIRenderImg*& slot, UIRenderImg* painter) {
  if (slot)
    slot->Release();
  slot = painter;
}

}  // namespace

UIProgress::~UIProgress() {
  Replace(back_, nullptr);
  Replace(fore_, nullptr);
}

bool UIProgress::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"value") {
    SetValue(ParseDecimal(value));
  } else if (name == L"prob") {
    Replace(back_, NewImagePainter(value, UIRenderImg::kThreeHWhole));
  } else if (name == L"prof") {
    Replace(fore_, NewImagePainter(value, drawType_));
  } else if (name == L"drawtype") {
    drawType_ = ParseDecimal(value);
    if (fore_)
      fore_->SetAttribute(L"type", std::to_wstring(drawType_));
  } else {
    return UIControl::ApplyAttribute(name, value);
  }
  Invalidate();
  return true;
}

void UIProgress::SetValue(int value) {
  value_ = std::clamp(value, 0, 100);
  Invalidate();
}

void UIProgress::Paint(Gdiplus::Graphics& graphics) {
  int w = GetWidth(), h = GetHeight();
  if (back_)
    back_->Paint(graphics, Gdiplus::Rect(0, 0, w, h));
  else
    FillRect(graphics, Gdiplus::Rect(0, 0, w, h), kBackColour);
  int filled = static_cast<int>(static_cast<long long>(w) * value_ / 100);
  if (filled < 1)
    return;
  if (!fore_) {
    FillRect(graphics, Gdiplus::Rect(0, 0, filled, h), kFillColour);
    return;
  }
  RECT part = {0, 0, filled, h};
  fore_->SetRect(part);
  if (drawType_ == UIRenderImg::kStretch)
    fore_->SetAttribute(L"src", L"0,0," + std::to_wstring(filled) + L"," + std::to_wstring(h));
  fore_->Paint(graphics, Gdiplus::Rect(0, 0, w, h));
}
