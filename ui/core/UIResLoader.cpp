#include "ui/core/UIResLoader.h"

namespace {
UIResLoader* g_resLoader = nullptr;
}

UIResLoader* GetResLoader() {
  return g_resLoader;
}

void SetResLoader(UIResLoader* loader) {
  g_resLoader = loader;
}
