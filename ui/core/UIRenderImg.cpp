#include "ui/core/UIRenderImg.h"

#include <string_view>
#include <unordered_set>

#include "sys/StringFormat.h"
#include "ui/core/SkinBitmap.h"
#include "ui/core/UIControl.h"
#include "ui/core/UIGraphics.h"
#include "ui/core/UIResLoader.h"
#include "ui/core/UIValueParse.h"

using namespace std::string_view_literals;

namespace {

// Skin image names are few and painters many: each painter points at one shared copy of its
// name instead of holding its own (painters are made on the UI thread only).
const std::wstring* SharedImageName(const std::wstring& name) {
  if (name.empty())
    return nullptr;
  static std::unordered_set<std::wstring> names;
  return &*names.insert(name).first;
}

Gdiplus::Rect ToRect(const RECT& r) {
  return Gdiplus::Rect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

}  // namespace

bool UIRenderImg::SetAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"file"sv) {
    file_ = SharedImageName(value);
    image_ = nullptr;
  } else if (name == L"dst"sv) {
    ParseRect(value, &dst_);
  } else if (name == L"src"sv) {
    ParseRect(value, &src_);
  } else if (name == L"type"sv) {
    type_ = ParseDecimal(value);
  } else {
    return false;
  }
  return true;
}

SkinBitmap* UIRenderImg::image() const {
  if (file_) {
    UIResLoader* loader = GetResLoader();
    image_ = loader ? loader->LoadImage(*file_) : nullptr;
    file_ = nullptr;
  }
  return image_;
}

bool UIRenderImg::StaysInside(const UIControl* control) const {
  // Whether an image is there is known only once it is decoded; painting is not needed for that.
  const bool noImage = !file_ && !image_;
  return noImage || IsRectEmpty(&dst_) ||
         (dst_.left >= 0 && dst_.top >= 0 && dst_.right <= control->GetWidth() &&
          dst_.bottom <= control->GetHeight());
}

void UIRenderImg::Paint(Gdiplus::Graphics& g, const Gdiplus::Rect& r) const {
  SkinBitmap* image = this->image();
  if (!image)
    return;
  Gdiplus::Rect dst = IsRectEmpty(&dst_) ? r : ToRect(dst_);
  Gdiplus::Rect src = IsRectEmpty(&src_) ? Gdiplus::Rect(0, 0, static_cast<INT>(image->GetWidth()),
                                                         static_cast<INT>(image->GetHeight()))
                                         : ToRect(src_);
  switch (type_) {
    case kStretch:
      return DrawImageStretched(g, image, dst, src);
    case kThreeH:
      return DrawImageThreeH(g, image, dst, src);
    case kThreeV:
      return DrawImageThreeV(g, image, dst, src);
    case kNineGrid:
      return DrawImageNineGrid(g, image, dst);
    case kThreeHWhole:
      return DrawImageThreeHWhole(g, image, dst);
    default:
      return;
  }
}
