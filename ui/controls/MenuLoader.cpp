#include "ui/controls/MenuLoader.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <cwctype>

#include "sys/Handles.h"
#include "sys/StringFormat.h"
#include "ui/controls/SkinMenuWnd.h"
#include "ui/core/UIFont.h"
#include "ui/core/UIResLoader.h"
#include "xml/XmlDocument.h"

namespace {

constexpr int kSeparatorHeight = 9;
constexpr int kItemHeight = 24;
constexpr int kEmptyItemHeight = 4;
constexpr int kTextExtra = 47;
constexpr int kSubmenuExtra = 20;
constexpr int kMinItemWidth = 100;
constexpr int kStackX = 8;
constexpr int kStackY = 10;
// Deeper submenus are left empty, so that a menu nested without end cannot overflow the stack.
constexpr int kMaxMenuDepth = 256;

// Reads the children of the element the cursor is inside of; `depth` counts the menus above.
void ReadEntries(XmlDocument& doc, SkinMenu* menu, int depth) {
  while (doc.FindElement(L"menu")) {
    SkinMenuItem item;
    item.id = static_cast<int>(std::wcstol(doc.GetAttribute(L"id").c_str(), nullptr, 10));
    item.text = doc.GetAttribute(L"txt");
    std::wstring type = doc.GetAttribute(L"type");
    if (type == L"sep") {
      item.flags = SkinMenuItem::kSeparator;
    } else {
      item.image = doc.GetAttribute(L"img");
      if (!item.image.empty())
        item.flags |= SkinMenuItem::kHasImage;
      if (type == L"sub") {
        item.flags |= SkinMenuItem::kSubmenu;
        item.submenu = std::make_unique<SkinMenu>();
        if (depth + 1 < kMaxMenuDepth && doc.EnterElement()) {
          ReadEntries(doc, item.submenu.get(), depth + 1);
          doc.LeaveElement();
        }
      }
    }
    menu->items.push_back(std::move(item));
  }
}

int MeasureText(HDC dc, const std::wstring& text) {
  size_t end = text.find(L'\t');
  if (end == std::wstring::npos)
    end = text.size();
  SIZE size = {};
  if (end == 0 || !GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(end), &size))
    return 0;
  // The entries are drawn with the UI font, which is wider than the dialog font for Chinese
  // text; an entry must have room for either.
  Gdiplus::Font* font = DefaultUIFont();
  if (!font || !font->IsAvailable())
    return size.cx;
  Gdiplus::Graphics g(dc);
  Gdiplus::StringFormat format;
  format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap);
  Gdiplus::RectF box;
  if (g.MeasureString(text.c_str(), static_cast<INT>(end), font, Gdiplus::PointF(0, 0), &format,
                      &box) != Gdiplus::Ok)
    return size.cx;
  return std::max(static_cast<int>(size.cx), static_cast<int>(std::ceil(box.Width)));
}

void Layout(HDC dc, SkinMenu* menu) {
  int y = kStackY;
  int widest = 0;
  for (SkinMenuItem& item : menu->items) {
    item.x = kStackX;
    item.y = y;
    if (item.Is(SkinMenuItem::kSeparator)) {
      item.width = 0;
      item.height = kSeparatorHeight;
    } else {
      item.height = item.text.empty() ? kEmptyItemHeight : kItemHeight;
      int width = MeasureText(dc, item.text) + kTextExtra;
      if (item.Is(SkinMenuItem::kSubmenu))
        width += kSubmenuExtra;
      item.width = std::max(width + 2, kMinItemWidth);
    }
    widest = std::max(widest, item.width);
    y += item.height;
    if (item.submenu)
      Layout(dc, item.submenu.get());
  }
  menu->width = widest + kStackX;
  menu->height = y + kStackY;
}

}  // namespace

std::unique_ptr<SkinMenu> LoadSkinMenu(const std::wstring& path) {
  UIResLoader* loader = GetResLoader();
  if (!loader)
    return nullptr;
  std::string bytes = loader->LoadText(path);
  if (bytes.empty())
    return nullptr;
  XmlDocument doc;
  if (!doc.SetDocumentText(Utf8ToWide(bytes)) || !doc.Parse())
    return nullptr;
  doc.ResetPos();
  if (!doc.FindElement() || doc.GetNodeName() != L"menu")
    return nullptr;
  auto menu = std::make_unique<SkinMenu>();
  if (doc.EnterElement())
    ReadEntries(doc, menu.get(), 0);
  LayoutSkinMenu(menu.get());
  return menu;
}

void LayoutSkinMenu(SkinMenu* menu) {
  if (!menu)
    return;
  ScopedScreenDc screen(GetDC(nullptr));
  if (!screen)
    return;
  HGDIOBJ old = SelectObject(screen.get(), GetStockObject(DEFAULT_GUI_FONT));
  Layout(screen.get(), menu);
  SelectObject(screen.get(), old);
}

int MenuLoader::TrackMenu(HWND owner, int x, int y, const std::wstring& path) {
  SetForegroundWindow(owner);
  std::unique_ptr<SkinMenu> menu = LoadSkinMenu(path);
  if (!menu)
    return -1;
  OnMenuLoaded(menu.get());
  LayoutSkinMenu(menu.get());
  if (!SetForegroundWindow(owner)) {
    Sleep(100);
    if (!SetForegroundWindow(owner))
      return 0;
  }
  UIResLoader* loader = GetResLoader();
  SkinBitmap* background = loader ? loader->LoadImage(L"img\\menu\\bg.png") : nullptr;
  return RunSkinMenu(owner, menu.get(), x, y, background);
}
