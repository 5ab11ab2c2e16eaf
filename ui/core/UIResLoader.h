#pragma once

// windows.h renames LoadImage to LoadImageW; every user must see the same name.
#include <windows.h>

#include <string>

class SkinBitmap;

// How the UI framework reads its skin files by relative pack path ("xml\main.xml",
// "img\btn\btnb.png"). Implementations answer from memory; nothing here touches the disk.
class UIResLoader {
 public:
  virtual ~UIResLoader() = default;
  // The file's bytes as they are stored (layouts are UTF-8); empty when absent.
  virtual std::string LoadText(const std::wstring& path) = 0;
  // The decoded image, shared by every caller and owned by the loader; null when absent or not
  // decodable.
  virtual SkinBitmap* LoadImage(const std::wstring& path) = 0;
  // The image's size in pixels, read from the file's header where the loader can, so that
  // nothing is decoded yet; false when the image is absent (or, where it decodes, not
  // decodable). A file with a sound header but a broken body answers a size here and null from
  // LoadImage. This default decodes.
  virtual bool ImageSize(const std::wstring& path, int* width, int* height);
};

// The process-wide loader, set once during start-up before the first window is built. Not
// owned; null until set.
UIResLoader* GetResLoader();
void SetResLoader(UIResLoader* loader);
