#include "app/MainMenu.h"

#include "tasks/Settings.h"
#include "ui/controls/MenuLoader.h"

namespace {

class MainMenuLoader : public MenuLoader {
 protected:
  void OnMenuLoaded(SkinMenu* menu) override { DecorateMainMenu(menu); }
};

// The id of "唤醒电脑执行任务" in the menu file.
constexpr int kWakeEntryId = 8;

void MarkChecked(SkinMenuItem& entry) {
  entry.flags |= SkinMenuItem::kChecked | SkinMenuItem::kHasImage;
  entry.image = L"img\\btn\\check.png";
}

}  // namespace

void DecorateMainMenu(SkinMenu* menu) {
  if (!menu)
    return;
  if (menu->items.size() > 4 && IsAutostartOn())
    MarkChecked(menu->items[4]);
  if (AppSettings().wake) {
    for (SkinMenuItem& entry : menu->items) {
      if (entry.id == kWakeEntryId)
        MarkChecked(entry);
    }
  }
}

int TrackMainMenu(HWND owner, POINT at) {
  MainMenuLoader loader;
  return loader.TrackMenu(owner, at.x, at.y, L"xml\\mainmenu.xml");
}
