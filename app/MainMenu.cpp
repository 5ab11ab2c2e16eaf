#include "app/MainMenu.h"

#include "tasks/Settings.h"

#if __has_include("ui/controls/MenuLoader.h")
#include "ui/controls/MenuLoader.h"

namespace {

// Marks the autostart entry (the fifth) with the check image while autostart is on.
class MainMenuLoader : public MenuLoader {
 protected:
  void OnMenuLoaded(SkinMenu* menu) override {
    if (!IsAutostartOn() || menu->items.size() <= 4)
      return;
    SkinMenuItem& entry = menu->items[4];
    entry.flags |= SkinMenuItem::kChecked | SkinMenuItem::kHasImage;
    entry.image = L"img\\btn\\check.png";
  }
};

}  // namespace

int TrackMainMenu(HWND owner, POINT at) {
  MainMenuLoader loader;
  return loader.TrackMenu(owner, at.x, at.y, L"xml\\mainmenu.xml");
}

#else

// Until the skinned popup menu is part of the build there is no menu to show.
int TrackMainMenu(HWND owner, POINT at) {
  return 0;
}

#endif
