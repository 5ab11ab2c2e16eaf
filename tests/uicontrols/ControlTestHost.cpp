#include "tests/uicontrols/ControlTestHost.h"

#include <cstdlib>

#include "tests/support/PumpUntil.h"
#include "tests/uicore/PaintCanvas.h"
#include "ui/controls/UIBasicControls.h"
#include "ui/core/SkinBitmap.h"
#include "ui/core/UIControl.h"

std::string StripPng(const std::vector<Gdiplus::ARGB>& colours, int frameWidth, int height) {
  Gdiplus::Bitmap bitmap(frameWidth * static_cast<int>(colours.size()), height,
                         PixelFormat32bppARGB);
  {
    Gdiplus::Graphics g(&bitmap);
    for (size_t i = 0; i < colours.size(); ++i) {
      Gdiplus::SolidBrush brush{Gdiplus::Color(colours[i])};
      g.FillRectangle(&brush, static_cast<INT>(i) * frameWidth, 0, frameWidth, height);
    }
  }
  return EncodePng(bitmap);
}

int ShowcaseSeconds() {
  const char* seconds = std::getenv("QUELM_SHOWCASE_SECONDS");
  return seconds ? std::atoi(seconds) : 0;
}

void HoldForShowcase() {
  if (int seconds = ShowcaseSeconds())
    PumpUntil([] { return false; }, 1000u * static_cast<DWORD>(seconds));
}

TestSkin::TestSkin() : previous_(GetResLoader()) {
  SetResLoader(this);
  RegisterBasicControls();
}

TestSkin::~TestSkin() {
  SetResLoader(previous_);
  decoded_.clear();
}

std::string TestSkin::LoadText(const std::wstring& path) {
  auto it = texts_.find(path);
  return it == texts_.end() ? std::string() : it->second;
}

SkinBitmap* TestSkin::LoadImage(const std::wstring& path) {
  auto done = decoded_.find(path);
  if (done != decoded_.end())
    return done->second.get();
  auto it = images_.find(path);
  if (it == images_.end())
    return nullptr;
  IStream* stream = NewStreamOver(it->second.data(), it->second.size());
  std::unique_ptr<SkinBitmap> bitmap(stream ? new SkinBitmap(stream) : nullptr);
  if (bitmap && bitmap->GetLastStatus() != Gdiplus::Ok)
    bitmap.reset();
  return (decoded_[path] = std::move(bitmap)).get();
}

ControlTestHost::ControlTestHost(TestSkin& skin, const std::string& layout)
    : UIHostWnd(L"xml\\test.xml") {
  skin.AddText(L"xml\\test.xml", layout);
  Create(nullptr, WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 100, 100);
}

ControlTestHost::~ControlTestHost() {
  if (hwnd())
    DestroyWindow(hwnd());
}

int ControlTestHost::OnEvent(UIEvent& event) {
  events.push_back({event.id, event.name, event.param2, event.param1});
  if (onEvent)
    onEvent(event);
  return 1;
}

void ControlTestHost::Send(UINT message, int x, int y, WPARAM wparam) {
  ::SendMessageW(hwnd(), message, wparam, MAKELPARAM(x, y));
}

void ControlTestHost::Click(int x, int y) {
  Send(WM_MOUSEMOVE, x, y);
  Send(WM_LBUTTONDOWN, x, y, MK_LBUTTON);
  Send(WM_LBUTTONUP, x, y);
}

POINT ControlTestHost::Centre(const std::wstring& id) {
  RECT r = Find(id)->WindowRect();
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

uint32_t ControlTestHost::Pixel(int x, int y) {
  PaintNow();
  return BackBufferPixelForTesting(x, y);
}

bool ControlTestHost::AreaDiffers(const std::wstring& id, uint32_t colour) {
  PaintNow();
  RECT r = Find(id)->WindowRect();
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) {
      if (BackBufferPixelForTesting(x, y) != colour)
        return true;
    }
  }
  return false;
}

std::vector<std::string> ControlTestHost::EventNames() const {
  std::vector<std::string> names;
  for (const SeenEvent& e : events)
    names.push_back(e.name);
  return names;
}
