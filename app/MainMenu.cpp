#include "app/MainMenu.h"

#include "tasks/Settings.h"
#include "ui/controls/MenuLoader.h"

namespace {

class MainMenuLoader : public MenuLoader {
 protected:
  void OnMenuLoaded(SkinMenu* menu) override { DecorateMainMenu(menu); }
};

}  // namespace

void DecorateMainMenu(SkinMenu* menu) {
  if (!menu || menu->items.size() <= 4 || !IsAutostartOn())
    return;
  SkinMenuItem& entry = menu->items[4];
  entry.flags |= SkinMenuItem::kChecked | SkinMenuItem::kHasImage;
  entry.image = L"img\\btn\\check.png";
}

int TrackMainMenu(HWND owner, POINT at) {
  MainMenuLoader loader;
  return loader.TrackMenu(owner, at.x, at.y, L"xml\\mainmenu.xml");
}
