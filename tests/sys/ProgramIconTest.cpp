#include "sys/ProgramIcon.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "tests/support/TempDir.h"
#include "tests/sys/SysTestSupport.h"

namespace {

constexpr int kSize = 16;

// An icon whose colour bitmap of `bitsPerPixel` (32 or 24) carries `pixels` (ARGB, top-down)
// and whose mask is transparent where `transparent` says so.
ScopedIcon MakeIcon(const std::vector<uint32_t>& pixels,
                    int bitsPerPixel,
                    const std::vector<bool>& transparent) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = kSize;
  info.bmiHeader.biHeight = -kSize;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = static_cast<WORD>(bitsPerPixel);
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  ScopedGdiObject colour(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!colour)
    return ScopedIcon();
  if (bitsPerPixel == 32) {
    memcpy(bits, pixels.data(), pixels.size() * 4);
  } else {  // 24 bits, rows padded to four bytes
    const int stride = (kSize * 3 + 3) & ~3;
    auto* bytes = static_cast<uint8_t*>(bits);
    for (int y = 0; y < kSize; ++y) {
      for (int x = 0; x < kSize; ++x) {
        uint32_t p = pixels[y * kSize + x];
        uint8_t* out = bytes + y * stride + x * 3;
        out[0] = p & 0xFF;
        out[1] = (p >> 8) & 0xFF;
        out[2] = (p >> 16) & 0xFF;
      }
    }
  }
  GdiFlush();
  // Monochrome mask rows are padded to 16 bits; a set bit is transparent.
  std::vector<uint8_t> maskBits(kSize * 2, 0);
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      if (transparent[y * kSize + x])
        maskBits[y * 2 + x / 8] |= 0x80 >> (x % 8);
    }
  }
  ScopedGdiObject mask(CreateBitmap(kSize, kSize, 1, 1, maskBits.data()));
  ICONINFO iconInfo = {};
  iconInfo.fIcon = TRUE;
  iconInfo.hbmColor = static_cast<HBITMAP>(colour.get());
  iconInfo.hbmMask = static_cast<HBITMAP>(mask.get());
  return ScopedIcon(CreateIconIndirect(&iconInfo));
}

class ProgramIconTest : public testing::Test, public GdiplusFixtureBase {};

}  // namespace

TEST_F(ProgramIconTest, KeepsTheAlphaOfEveryPixel) {
  std::vector<uint32_t> pixels(kSize * kSize, 0x00000000);
  pixels[0] = 0xFFFF0000;          // opaque red
  pixels[1] = 0x80336699;          // half transparent
  pixels[kSize + 2] = 0x01FFFFFF;  // nearly invisible white
  pixels[kSize * kSize - 1] = 0xFF00FF00;
  // Windows draws an icon with alpha by its alpha alone; the mask, here all transparent, is
  // only for displays without alpha.
  ScopedIcon icon = MakeIcon(pixels, 32, std::vector<bool>(kSize * kSize, true));
  ASSERT_TRUE(icon.valid());
  std::unique_ptr<Gdiplus::Bitmap> bitmap = IconToBitmap(icon.get());
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(bitmap->GetPixelFormat(), PixelFormat32bppARGB);
  ASSERT_EQ(bitmap->GetWidth(), static_cast<UINT>(kSize));
  ASSERT_EQ(bitmap->GetHeight(), static_cast<UINT>(kSize));
  struct Probe {
    int x, y;
    uint32_t argb;
  } probes[] = {{0, 0, 0xFFFF0000},
                {1, 0, 0x80336699},
                {2, 1, 0x01FFFFFF},
                {kSize - 1, kSize - 1, 0xFF00FF00},
                {5, 5, 0x00000000}};
  for (const Probe& p : probes) {
    Gdiplus::Color colour;
    ASSERT_EQ(bitmap->GetPixel(p.x, p.y, &colour), Gdiplus::Ok);
    if (p.argb >> 24) {
      EXPECT_EQ(colour.GetValue(), p.argb) << p.x << "," << p.y;
    } else {
      EXPECT_EQ(colour.GetAlpha(), 0) << p.x << "," << p.y;
    }
  }
}

TEST_F(ProgramIconTest, IconsWithoutAlphaAreCutOutByTheirMask) {
  std::vector<uint32_t> pixels(kSize * kSize, 0x000000FF);  // blue, alpha unused
  std::vector<bool> transparent(kSize * kSize, false);
  for (int x = 0; x < kSize; ++x)
    transparent[x] = true;  // the top row
  for (int bitsPerPixel : {32, 24}) {
    ScopedIcon icon = MakeIcon(pixels, bitsPerPixel, transparent);
    ASSERT_TRUE(icon.valid());
    std::unique_ptr<Gdiplus::Bitmap> bitmap = IconToBitmap(icon.get());
    ASSERT_NE(bitmap, nullptr) << bitsPerPixel;
    EXPECT_EQ(bitmap->GetPixelFormat(), PixelFormat32bppARGB);
    Gdiplus::Color top, body;
    bitmap->GetPixel(3, 0, &top);
    bitmap->GetPixel(3, 8, &body);
    EXPECT_EQ(top.GetAlpha(), 0) << bitsPerPixel;
    EXPECT_EQ(body.GetValue(), 0xFF0000FFu) << bitsPerPixel;
  }
  EXPECT_EQ(IconToBitmap(nullptr), nullptr);
}

TEST_F(ProgramIconTest, LoadsTheShellIconOfAProgram) {
  std::unique_ptr<Gdiplus::Bitmap> icon = LoadProgramIcon(HelperPath());
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->GetPixelFormat(), PixelFormat32bppARGB);
  EXPECT_EQ(icon->GetWidth(), static_cast<UINT>(GetSystemMetrics(SM_CXICON)));
  EXPECT_EQ(icon->GetHeight(), static_cast<UINT>(GetSystemMetrics(SM_CYICON)));
  int visible = 0;
  for (UINT y = 0; y < icon->GetHeight(); ++y) {
    for (UINT x = 0; x < icon->GetWidth(); ++x) {
      Gdiplus::Color colour;
      icon->GetPixel(x, y, &colour);
      visible += colour.GetAlpha() != 0;
    }
  }
  EXPECT_GT(visible, 0) << "the icon must not come out fully transparent";
}

TEST_F(ProgramIconTest, AMissingProgramHasNoIcon) {
  TempDir dir;
  EXPECT_EQ(LoadProgramIcon(dir.Child(L"missing.exe")), nullptr);
}
