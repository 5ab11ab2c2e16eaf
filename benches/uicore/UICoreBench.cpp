// The framework's cost on a window like the task list: 800 x 552 with about 300 controls
// (labels, buttons with images, rounded backgrounds). Each figure is a ratio against a peer
// measured in the same run:
//  (a) a full paint pass against the same GDI+ drawing calls issued directly;
//  (b) repainting one row's status text against a full pass;
//  (c) building the window's tree from its layout against parsing the layout alone.
// Arguments: [--show SECONDS] keeps the window on screen for a look.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "sys/GdiplusSession.h"
#include "sys/StringFormat.h"
#include "tests/uicore/PackBuilder.h"
#include "ui/core/ResLoaderMgr.h"
#include "ui/core/UIBuilder.h"
#include "ui/core/UIFont.h"
#include "ui/core/UIGraphics.h"
#include "ui/core/UIHostWnd.h"
#include "xml/XmlDocument.h"

namespace {
// Heap allocations counted while building one tree: under Wine each costs about as much as
// reading an element.
bool countAllocations = false;
long allocations = 0;
}  // namespace

void* operator new(std::size_t size) {
  if (countAllocations)
    ++allocations;
  if (void* p = std::malloc(size ? size : 1))
    return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

namespace {

double Seconds() {
  LARGE_INTEGER c, f;
  QueryPerformanceCounter(&c);
  QueryPerformanceFrequency(&f);
  return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

// What the direct peer draws for one control, at window coordinates.
struct DirectItem {
  enum Kind { kRound, kText, kImage } kind;
  Gdiplus::Rect rect;
  std::wstring text;
  bool small = false;  // the 12-pixel font of the left column
};

constexpr int kRows = 22;
constexpr int kRowHeight = 24;

std::string Layout(std::vector<DirectItem>& direct) {
  std::wstring x =
      L"<UIWnd pos='0,0,800,552' hit='false' back='clr:clr=#e6f4f7fa|border=#ffc8d3d8|round=6'>";
  direct.push_back({DirectItem::kRound, {0, 0, 800, 552}, L""});
  // Left form: labels and image buttons.
  for (int i = 0; i < 31; ++i) {
    int y = 10 + i * 17;
    x += WFormat(L"<UIWnd pos='10,%d,90,16' txt='任务名称%d' back='txt:font=12|clr=#ff333333'/>", y,
                 i);
    direct.push_back({DirectItem::kText, {10, y, 90, 16}, WFormat(L"任务名称%d", i), true});
    x += WFormat(L"<UIWnd pos='110,%d,40,16' back='img:file=img\\btn.png|type=3'/>", y);
    direct.push_back({DirectItem::kImage, {110, y, 40, 16}, L""});
    x += WFormat(L"<UIWnd pos='152,%d,40,16' back='img:file=img\\btn.png|type=3'/>", y);
    direct.push_back({DirectItem::kImage, {152, y, 40, 16}, L""});
  }
  // Right list: rows of a rounded background, an icon, name, status and time texts, buttons.
  x += L"<UIWnd pos='200,10,590,532' layout='vert' hit='false'>";
  for (int r = 0; r < kRows; ++r) {
    int y = 10 + r * kRowHeight;
    x += WFormat(
        L"<UIWnd height='%d' layout='horz' hit='false' "
        L"back='clr:clr=#80ffffff|clrh=#ffe5f1fb|round=4'>",
        kRowHeight);
    direct.push_back({DirectItem::kRound, {200, y, 590, kRowHeight}, L""});
    x += L"<UIWnd width='24' height='24' back='img:file=img\\btn.png'/>";
    direct.push_back({DirectItem::kImage, {200, y, 24, 24}, L""});
    const wchar_t* texts[] = {L"每天 08:30 提醒", L"剩余 01:02:03", L"2026-12-08"};
    int widths[] = {200, 150, 90};
    int at = 224;
    for (int t = 0; t < 3; ++t) {
      x += WFormat(
          L"<UIWnd id='t%d_%d' width='%d' height='24' txt='%ls' "
          L"back='txt:font=13|clr=#ff60656f'/>",
          r, t, widths[t], texts[t]);
      direct.push_back({DirectItem::kText, {at, y, widths[t], 24}, texts[t]});
      at += widths[t];
    }
    for (int b = 0; b < 3; ++b) {
      x += L"<UIWnd width='42' height='24' back='img:file=img\\btn.png|type=3'/>";
      direct.push_back({DirectItem::kImage, {at, y, 42, 24}, L""});
      at += 42;
    }
    x += L"</UIWnd>";
  }
  x += L"</UIWnd></UIWnd>";
  return WideToUtf8(x);
}

void DrawDirect(Gdiplus::Graphics& g,
                const std::vector<DirectItem>& items,
                Gdiplus::Image* image,
                Gdiplus::Font* font12,
                Gdiplus::Font* font13) {
  g.Clear(Gdiplus::Color(0x00FFFFFF));
  Gdiplus::StringFormat format(static_cast<INT>(0x80000000) | Gdiplus::StringFormatFlagsLineLimit |
                               Gdiplus::StringFormatFlagsNoWrap);
  format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
  for (const DirectItem& it : items) {
    switch (it.kind) {
      case DirectItem::kRound:
        FillRoundRect(g, it.rect, it.rect.Width == 800 ? 6 : 4,
                      it.rect.Width == 800 ? 0xE6F4F7FA : 0x80FFFFFF);
        if (it.rect.Width == 800)
          StrokeRoundRect(g, Gdiplus::Rect(0, 0, 799, 551), 6, 0xFFC8D3D8);
        break;
      case DirectItem::kText: {
        Gdiplus::SolidBrush brush{Gdiplus::Color(it.small ? 0xFF333333 : 0xFF60656F)};
        Gdiplus::RectF box(
            static_cast<Gdiplus::REAL>(it.rect.X), static_cast<Gdiplus::REAL>(it.rect.Y),
            static_cast<Gdiplus::REAL>(it.rect.Width), static_cast<Gdiplus::REAL>(it.rect.Height));
        g.DrawString(it.text.c_str(), static_cast<INT>(it.text.size()), it.small ? font12 : font13,
                     box, &format, &brush);
        break;
      }
      case DirectItem::kImage:
        if (it.rect.Width == 24)
          DrawImageStretched(g, image, it.rect,
                             Gdiplus::Rect(0, 0, image->GetWidth(), image->GetHeight()));
        else
          DrawImageNineGrid(g, image, it.rect);
        break;
    }
  }
}

// The fastest of `runs` timings of `f`: other processes on the machine only ever add time.
template <class F>
double Time(int runs, F f) {
  double best = 1e9;
  for (int i = 0; i < runs; ++i) {
    double start = Seconds();
    f();
    best = std::min(best, Seconds() - start);
  }
  return best;
}

// Both peers in alternation, so that a busy moment of the machine hits both alike.
template <class F, class G>
void TimePair(int runs, F f, G g, double* tf, double* tg) {
  *tf = *tg = 1e9;
  for (int i = 0; i < runs; ++i) {
    *tf = std::min(*tf, Time(1, f));
    *tg = std::min(*tg, Time(1, g));
  }
}

// One bare layered update of a single pixel on a window of `w` x `h` with its own back buffer:
// what the system charges for a push, whatever is drawn.
double TimeBareLayeredPush(int runs, int w, int h) {
  HWND hwnd = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 100, 100,
                              w, h, nullptr, nullptr, nullptr, nullptr);
  BITMAPINFO bi = {};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP dib = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, dib);
  POINT source = {0, 0};
  SIZE size = {w, h};
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  UPDATELAYEREDWINDOWINFO info = {sizeof(info)};
  info.psize = &size;
  info.hdcSrc = dc;
  info.pptSrc = &source;
  info.pblend = &blend;
  info.dwFlags = ULW_ALPHA;
  UpdateLayeredWindowIndirect(hwnd, &info);
  RECT pixel = {10, 10, 11, 11};
  info.prcDirty = &pixel;
  double t = Time(runs, [&] { UpdateLayeredWindowIndirect(hwnd, &info); });
  SelectObject(dc, old);
  DeleteObject(dib);
  DeleteDC(dc);
  DestroyWindow(hwnd);
  return t;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  int showSeconds = 0;
  if (argc > 2 && wcscmp(argv[1], L"--show") == 0)
    showSeconds = _wtoi(argv[2]);
  GdiplusSession gdiplus;
  if (!gdiplus.ok())
    return 1;
  std::vector<DirectItem> direct;
  std::string layout = Layout(direct);
  std::string pack = BuildPack({{L"img\\btn.png", TinyPng()}, {L"xml\\list.xml", layout}}).bytes;
  auto loader = std::make_unique<ResLoaderMgr>();
  loader->LoadPack(pack.data(), pack.size());
  SetResLoader(loader.get());
  int controls = 0;
  {
    auto host = std::make_unique<UIHostWnd>(L"xml\\list.xml");
    host->Create(nullptr, UIHostWnd::kDialogStyle, UIHostWnd::kDialogExStyle, 100, 100, 200, 200);
    std::vector<UIControl*> stack = {host->GetRoot()};
    while (!stack.empty()) {
      UIControl* c = stack.back();
      stack.pop_back();
      ++controls;
      for (UIControl* child : c->GetChildren())
        stack.push_back(child);
    }
    host->PaintNow();
    const int runs = 25;

    Gdiplus::Bitmap target(800, 552, PixelFormat32bppPARGB);
    Gdiplus::Image* image = loader->LoadImage(L"img\\btn.png");
    Gdiplus::Font* font12 = host->GetFont(L"12");
    Gdiplus::Font* font13 = host->GetFont(L"13");
    double framework = 0, raw = 0;
    TimePair(
        runs,
        [&] {
          Gdiplus::Graphics g(&target);
          host->PaintTo(g, host->GetClientRect());
          g.Flush(Gdiplus::FlushIntentionSync);
        },
        [&] {
          Gdiplus::Graphics g(&target);
          DrawDirect(g, direct, image, font12, font13);
          g.Flush(Gdiplus::FlushIntentionSync);
        },
        &framework, &raw);
    double window = Time(runs, [&] {
      host->InvalidateRect(host->GetClientRect());
      host->PaintNow();
    });
    std::printf(
        "(a) full paint pass, %d controls: framework %.2f ms, direct GDI+ %.2f ms, "
        "overhead %+.1f %%\n",
        controls, framework * 1e3, raw * 1e3, (framework / raw - 1) * 100);

    UIControl* status = host->GetRoot()->FindById(L"t5_1");
    int tick = 0;
    double row = Time(runs * 4, [&] {
      status->SetText(WFormat(L"剩余 01:02:%02d", tick++ % 60));
      host->PaintNow();
    });
    std::printf("    the same pass through the window's back buffer and layered update: %.2f ms\n",
                window * 1e3);
    RECT sr = status->WindowRect();
    double rowDraw = Time(runs * 4, [&] {
      Gdiplus::Graphics g(&target);
      host->PaintTo(g, sr);
      g.Flush(Gdiplus::FlushIntentionSync);
    });
    std::printf("(b) one status-text change: %.3f ms, %.2f %% of a full pass (drawing %.3f ms)\n",
                row * 1e3, row / window * 100, rowDraw * 1e3);
    const double push = TimeBareLayeredPush(runs * 4, 800, 552);
    std::printf(
        "    a bare layered update of one pixel on a window of the same size: %.3f ms, "
        "%.2f %% of a full pass\n",
        push * 1e3, push / window * 100);

    if (showSeconds > 0) {
      ShowWindow(host->GetHwnd(), SW_SHOWNOACTIVATE);
      host->InvalidateRect(host->GetClientRect());
      host->PaintNow();
      DWORD end = GetTickCount() + showSeconds * 1000;
      MSG m;
      while (GetTickCount() < end) {
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE))
          DispatchMessageW(&m);
        Sleep(20);
      }
    }
  }

  std::wstring text = Utf8ToWide(layout);
  double build = 0, parse = 0;
  TimePair(
      50,
      [&] {
        UIBuilder builder;
        UIRef<UIControl> root = UIRef<UIControl>::Adopt(builder.BuildFromText(nullptr, text));
      },
      [&] {
        XmlDocument doc;
        doc.SetDocumentText(text);
        // Visit every element and attribute, as the builder does.
        doc.FindElement();
        std::function<void()> walk = [&] {
          for (int i = 0;; ++i) {
            std::wstring name = doc.GetAttributeName(i);
            if (name.empty())
              break;
            doc.GetAttribute(name);
          }
          if (doc.EnterElement()) {
            while (doc.FindElement())
              walk();
            doc.LeaveElement();
          }
        };
        walk();
      },
      &build, &parse);
  std::printf("(c) building the tree: %.2f ms, XML reading alone %.2f ms, %.2fx\n", build * 1e3,
              parse * 1e3, build / parse);
  countAllocations = true;
  {
    UIBuilder builder;
    UIRef<UIControl> root = UIRef<UIControl>::Adopt(builder.BuildFromText(nullptr, text));
    countAllocations = false;
  }
  std::printf("    %.1f heap allocations per control\n",
              static_cast<double>(allocations) / controls);

  SetResLoader(nullptr);
  loader.reset();
  ReleaseDefaultUIFont();
  return 0;
}
