#include "tests/uicore/UITestSkin.h"

#include "ui/core/UIFont.h"

UITestSkin::UITestSkin(const std::vector<PackFile>& files)
    : pack_(BuildPack(files).bytes), loader_(new ResLoaderMgr) {
  loader_->LoadPack(pack_.data(), pack_.size());
  SetResLoader(loader_);
}

UITestSkin::~UITestSkin() {
  SetResLoader(nullptr);
  delete loader_;  // its images before GDI+ ends
  ReleaseDefaultUIFont();
}
