#include "ui/core/UIResLoader.h"

#include "ui/core/SkinBitmap.h"

namespace {
UIResLoader* g_resLoader = nullptr;
}

UIResLoader* GetResLoader() {
  return g_resLoader;
}

void SetResLoader(UIResLoader* loader) {
  g_resLoader = loader;
}

bool UIResLoader::ImageSize(const std::wstring& path, int* width, int* height) {
  SkinBitmap* image = LoadImage(path);
  if (!image)
    return false;
  *width = static_cast<int>(image->GetWidth());
  *height = static_cast<int>(image->GetHeight());
  return true;
}
