#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "sys/GdiplusSession.h"
#include "ui/core/ResLoaderMgr.h"
#include "ui/core/UIControl.h"
#include "ui/core/UIHostWnd.h"

// The pages' tests: GDI+ running, the built skin pack (build/skin/skin.pk) as the loader with
// the layouts a test adds on top, every control class of the pages registered and the
// program's control defaults installed. The loader, the defaults and the message box hook are
// undone after each test.
class PagesTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Serves `xml` under `path` ahead of the pack, for the rest of the test.
  void AddLayout(const std::wstring& path, const std::string& xml) { skin_.extra[path] = xml; }

 private:
  class TestSkin : public UIResLoader {
   public:
    std::string LoadText(const std::wstring& path) override;
    SkinBitmap* LoadImage(const std::wstring& path) override { return pack.LoadImage(path); }

    std::string bytes;
    ResLoaderMgr pack;
    std::map<std::wstring, std::string> extra;
  };

  GdiplusSession gdiplus_;
  TestSkin skin_;
  UIResLoader* previous_ = nullptr;
};

// A window hosting the layout `path`, never shown unless asked: Wine takes seconds to unmap a
// window that was.
class LayoutHost : public UIHostWnd {
 public:
  explicit LayoutHost(const std::wstring& path, DWORD style = WS_POPUP) : UIHostWnd(path) {
    Create(nullptr, style, WS_EX_TOOLWINDOW, 0, 0, 100, 100);
  }
  ~LayoutHost() override {
    if (hwnd())
      DestroyWindow(hwnd());
  }
  SIZE GetMinSize() const override { return {0, 0}; }
  UIControl* Find(const std::wstring& id) { return GetRoot()->FindById(id); }
  // Presses and releases the left button over the control's centre.
  void Click(UIControl* control);
  // What is to be repainted (window coordinates); PaintNow empties it.
  RECT Dirty() const { return dirty_.rect(); }
};

// The shipped main layout.
class MainLayoutHost : public LayoutHost {
 public:
  MainLayoutHost() : LayoutHost(L"xml\\main.xml") {}
};
