#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

struct SkinMenu;

// One entry of a skinned popup menu. Geometry is in the menu level's window coordinates and is
// filled in by LayoutSkinMenu.
struct SkinMenuItem {
  enum Flags : unsigned {
    kSeparator = 0x1,
    kSubmenu = 0x2,
    kHasImage = 0x4,
    kChecked = 0x8,    // state only; the application shows it through the entry's image
    kDisabled = 0x10,  // drawn greyed and never chosen
  };

  unsigned flags = 0;
  int id = 0;
  std::wstring text;
  std::wstring image;                 // pack path, meaningful with kHasImage
  std::unique_ptr<SkinMenu> submenu;  // owned, with kSubmenu
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;

  bool Is(unsigned flag) const { return (flags & flag) != 0; }
  // A command entry the user can choose (not a separator, submenu or disabled entry).
  bool Choosable() const { return !(flags & (kSeparator | kSubmenu | kDisabled)); }
};

// One menu level: its entries in display order and its window size.
struct SkinMenu {
  std::vector<SkinMenuItem> items;
  int width = 0;
  int height = 0;
};

// Builds a menu from a menu file of the skin pack, read through the process-wide resource
// loader: root element "menu", one child "menu" per entry with "id", "txt", "img" and "type"
// ("item", "sep" or "sub", whose own "menu" children form the submenu; an absent or unknown
// type is an item). Null when there is no loader, the file is absent or empty, it is not well
// formed XML, or its root is not "menu". Submenus more than 255 levels below the menu are read
// empty. The result is laid out. UI thread only.
std::unique_ptr<SkinMenu> LoadSkinMenu(const std::wstring& path);

// Computes the geometry of `menu` and of all its submenus: text measured up to its first tab
// with the system's default GUI font; separators 9 high, entries 24 high (4 without text) and
// text width + 47 (+ 20 for a submenu) + 2 wide, at least 100; stacked from (8, 10); the menu
// as wide as its widest entry + 8 and as high as the stack + 10.
void LayoutSkinMenu(SkinMenu* menu);

// Loads and shows a skinned popup menu and answers the chosen command id. Applications derive
// from it to adjust the loaded menu in OnMenuLoaded. Used on the UI thread; TrackMenu runs a
// modal loop on the calling thread and returns when the menu closes.
class MenuLoader {
 public:
  MenuLoader() = default;
  virtual ~MenuLoader() = default;
  MenuLoader(const MenuLoader&) = delete;
  MenuLoader& operator=(const MenuLoader&) = delete;

  // Shows the menu file `path` at the screen point (x, y), owned by `owner`. Answers the chosen
  // entry's id, 0 when the menu was dismissed or the owner could not be brought to the
  // foreground, -1 when the file is missing or cannot be read as a menu (nothing is shown).
  int TrackMenu(HWND owner, int x, int y, const std::wstring& path);

 protected:
  // Called once after loading, before the menu is laid out again and shown.
  virtual void OnMenuLoaded(SkinMenu* menu) {}
};
