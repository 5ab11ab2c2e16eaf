#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sys/GdiplusSession.h"
#include "ui/core/UIHostWnd.h"
#include "ui/core/UIResLoader.h"

// Images of solid vertical stripes: `colours` across, each `frameWidth` x `height` (a strip of
// frames when there are four).
std::string StripPng(const std::vector<Gdiplus::ARGB>& colours, int frameWidth, int height);

// QUELM_SHOWCASE_SECONDS, 0 when unset: how long a showcase test keeps its windows on screen for
// a person to look at. HoldForShowcase dispatches the thread's messages for that long.
int ShowcaseSeconds();
void HoldForShowcase();

// An in-memory skin: layout texts and PNG images by pack path, installed as the process-wide
// loader for the object's life, with GDI+ running.
class TestSkin : public UIResLoader {
 public:
  TestSkin();
  ~TestSkin() override;

  void AddText(const std::wstring& path, const std::string& utf8) { texts_[path] = utf8; }
  void AddImage(const std::wstring& path, const std::string& png) { images_[path] = png; }

  // UIResLoader:
  std::string LoadText(const std::wstring& path) override;
  SkinBitmap* LoadImage(const std::wstring& path) override;

 private:
  GdiplusSession gdiplus_;
  UIResLoader* previous_;
  std::map<std::wstring, std::string> texts_;
  std::map<std::wstring, std::string> images_;
  std::map<std::wstring, std::unique_ptr<SkinBitmap>> decoded_;
};

struct SeenEvent {
  std::wstring id;
  std::string name;
  int param2 = 0;
  int param1 = 0;
};

// A real host window built from a layout of the test skin, recording every event and driven
// with window messages in client coordinates.
class ControlTestHost : public UIHostWnd {
 public:
  // The layout text is stored in `skin` under "xml\test.xml".
  ControlTestHost(TestSkin& skin, const std::string& layout);
  ~ControlTestHost() override;

  int OnEvent(UIEvent& event) override;

  UIControl* Find(const std::wstring& id) { return GetRoot()->FindById(id); }
  template <class T>
  T* FindAs(const std::wstring& id) {
    return dynamic_cast<T*>(Find(id));
  }
  void Send(UINT message, int x, int y, WPARAM wparam = 0);
  void Click(int x, int y);
  // Centre of a control, in client coordinates.
  POINT Centre(const std::wstring& id);
  // Paints now and answers the back buffer pixel (premultiplied ARGB).
  uint32_t Pixel(int x, int y);
  // Whether any pixel of the control's area differs from `colour`.
  bool AreaDiffers(const std::wstring& id, uint32_t colour);
  std::vector<std::string> EventNames() const;

  std::vector<SeenEvent> events;
  // Runs on every event after it is recorded, as an application's handler would.
  std::function<void(UIEvent&)> onEvent;
};
