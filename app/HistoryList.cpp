#include "app/HistoryList.h"

#include <algorithm>

#include "ui/controls/UIControlPaint.h"
#include "ui/core/UIGraphics.h"
#include "ui/core/UIRenderText.h"

namespace {

// Column edges of the header: time, task and result, each after a 1-pixel separator.
constexpr int kTaskLeft = 161;
constexpr int kResultLeft = 402;
constexpr int kTextInset = 10;
constexpr int kCardGap = 3;
constexpr int kCardRadius = 6;

UIRenderText* NewText(const wchar_t* colour) {
  auto* text = new UIRenderText;
  text->SetAttribute(L"font", L"14");
  text->SetAttribute(L"clr", colour);
  text->SetAttribute(L"vert", L"1");
  text->SetAttribute(L"trim", L"true");
  return text;
}

bool IsAlert(const std::wstring& result) {
  return result.rfind(L"失败", 0) == 0 || result.rfind(L"已跳过", 0) == 0;
}

}  // namespace

HistoryList::HistoryList() : text_(NewText(L"#ff303030")), alert_(NewText(L"#ffe5484d")) {
  SetAttribute(L"hit", L"false");
}

HistoryList::~HistoryList() {
  text_->Release();
  alert_->Release();
}

void HistoryList::SetEvents(std::vector<HistoryEvent> events) {
  events_ = std::move(events);
  Invalidate();
}

void HistoryList::AddNewest(const HistoryEvent& event) {
  events_.insert(events_.begin(), event);
  Invalidate();
}

SIZE HistoryList::GetDesiredSize() const {
  return {GetWidth(), static_cast<LONG>(events_.size()) * kRowHeight};
}

void HistoryList::Paint(Gdiplus::Graphics& graphics) {
  const Gdiplus::Rect clip = ClipBounds(graphics);
  const int first = std::max(0, clip.Y / kRowHeight);
  const int end = std::min(static_cast<int>(events_.size()),
                           (clip.Y + clip.Height + kRowHeight - 1) / kRowHeight);
  for (int i = first; i < end; ++i)
    PaintRow(graphics, events_[i], i * kRowHeight);
}

void HistoryList::PaintRow(Gdiplus::Graphics& graphics, const HistoryEvent& event, int top) {
  const int width = GetWidth();
  FillRoundRect(graphics, Gdiplus::Rect(0, top + kCardGap, width, kRowHeight - 2 * kCardGap),
                kCardRadius, 0xFFFFFFFF);
  const UIFontLookup fonts = HostFontLookup(this);
  const std::wstring task = event.mode + L"  " + event.verb + L" " + event.object;
  text_->Paint(graphics, Gdiplus::Rect(kTextInset, top, kTaskLeft - 2 * kTextInset, kRowHeight),
               RenderState::Normal, event.time, fonts);
  text_->Paint(graphics,
               Gdiplus::Rect(kTaskLeft + kTextInset, top, kResultLeft - kTaskLeft - 2 * kTextInset,
                             kRowHeight),
               RenderState::Normal, task, fonts);
  (IsAlert(event.result) ? alert_ : text_)
      ->Paint(graphics,
              Gdiplus::Rect(kResultLeft + kTextInset, top,
                            std::max(0, width - kResultLeft - 2 * kTextInset), kRowHeight),
              RenderState::Normal, event.result, fonts);
}
