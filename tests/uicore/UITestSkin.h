#pragma once

#include <string>
#include <vector>

#include "sys/GdiplusSession.h"
#include "tests/uicore/PackBuilder.h"
#include "ui/core/ResLoaderMgr.h"

// A skin pack of test layouts installed as the process-wide loader for the object's life, with
// GDI+ running. Layout texts are UTF-8.
class UITestSkin {
 public:
  explicit UITestSkin(const std::vector<PackFile>& files);
  ~UITestSkin();
  UITestSkin(const UITestSkin&) = delete;
  UITestSkin& operator=(const UITestSkin&) = delete;

  ResLoaderMgr& loader() { return *loader_; }

 private:
  GdiplusSession gdiplus_;
  std::string pack_;
  ResLoaderMgr* loader_;
};
