// Reads the skin pack out of the built program (build/QuelmTask.exe, one folder above the test
// executables) and decodes its images with the system's GDI+.
#include <gtest/gtest.h>

#include <cwctype>
#include <set>
#include <vector>

#include "sys/Files.h"
#include "tests/uicore/PackBuilder.h"
#include "ui/core/ResLoaderMgr.h"

namespace {

std::wstring ProgramPath() {
  std::wstring tests = GetModuleDirectory();
  return tests.substr(0, tests.find_last_of(L'\\')) + L"\\QuelmTask.exe";
}

enum class Art { kSingle, kStrip, kNineGrid };

struct NamedImage {
  const wchar_t* path;
  UINT width;
  UINT height;
  Art art;
};

// Every image the program names, with the size its control draws it at.
const NamedImage kImages[] = {
    {L"img\\ico24.png", 24, 24, Art::kSingle},
    {L"img\\cb_bg.png", 18, 18, Art::kNineGrid},
    {L"img\\btn\\btn_arrow.png", 64, 16, Art::kStrip},
    {L"img\\btn\\btn_checkbox1.png", 64, 16, Art::kStrip},
    {L"img\\btn\\btn_checkbox2.png", 64, 16, Art::kStrip},
    {L"img\\btn\\btn_close.png", 80, 20, Art::kStrip},
    {L"img\\btn\\btn_confirm.png", 240, 30, Art::kStrip},
    {L"img\\btn\\btn_delete.png", 96, 24, Art::kStrip},
    {L"img\\btn\\btn_edit.png", 96, 24, Art::kStrip},
    {L"img\\btn\\btn_menu.png", 80, 20, Art::kStrip},
    {L"img\\btn\\btn_radiobox1.png", 64, 16, Art::kStrip},
    {L"img\\btn\\btn_radiobox2.png", 64, 16, Art::kStrip},
    {L"img\\btn\\btn_switch1.png", 160, 16, Art::kStrip},
    {L"img\\btn\\btn_switch2.png", 160, 16, Art::kStrip},
    {L"img\\btn\\btnb.png", 360, 36, Art::kStrip},
    {L"img\\btn\\btnplay.png", 96, 24, Art::kStrip},
    {L"img\\btn\\btnw.png", 360, 36, Art::kStrip},
    {L"img\\btn\\cb_back.png", 120, 30, Art::kStrip},
    {L"img\\btn\\check.png", 16, 16, Art::kSingle},
    {L"img\\menu\\bg.png", 18, 18, Art::kNineGrid},
    {L"img\\menu\\icon1.png", 16, 16, Art::kSingle},
    {L"img\\menu\\icon2.png", 16, 16, Art::kSingle},
    {L"img\\menu\\icon3.png", 16, 16, Art::kSingle},
    {L"img\\menu\\icon4.png", 16, 16, Art::kSingle},
    {L"img\\menu\\icon_hide.png", 16, 16, Art::kSingle},
    {L"img\\msgbox\\bg.png", 120, 120, Art::kNineGrid},
    {L"img\\msgbox\\btn_close.png", 80, 20, Art::kStrip},
    {L"img\\msgbox\\btnb.png", 480, 40, Art::kStrip},
    {L"img\\msgbox\\btnw.png", 480, 40, Art::kStrip},
    {L"img\\msgbox\\error.png", 48, 48, Art::kSingle},
    {L"img\\msgbox\\inf.png", 48, 48, Art::kSingle},
    {L"img\\msgbox\\ok.png", 48, 48, Art::kSingle},
    {L"img\\msgbox\\quest.png", 48, 48, Art::kSingle},
    {L"img\\msgbox\\war.png", 48, 48, Art::kSingle},
};

// The image's pixels as 32-bit ARGB, row by row.
std::vector<uint32_t> Pixels(Gdiplus::Bitmap* image) {
  const UINT w = image->GetWidth(), h = image->GetHeight();
  std::vector<uint32_t> pixels(size_t(w) * h);
  Gdiplus::Rect all(0, 0, INT(w), INT(h));
  Gdiplus::BitmapData data = {};
  if (image->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) != Gdiplus::Ok)
    return {};
  for (UINT y = 0; y < h; ++y) {
    const uint8_t* row = static_cast<const uint8_t*>(data.Scan0) + ptrdiff_t(y) * data.Stride;
    memcpy(&pixels[size_t(y) * w], row, size_t(w) * 4);
  }
  image->UnlockBits(&data);
  return pixels;
}

// The pixels of frame `f` of a strip of four.
std::vector<uint32_t> Frame(const std::vector<uint32_t>& pixels, UINT w, UINT h, int f) {
  const UINT fw = w / 4;
  std::vector<uint32_t> frame;
  for (UINT y = 0; y < h; ++y)
    frame.insert(frame.end(), pixels.begin() + y * w + f * fw,
                 pixels.begin() + y * w + (f + 1) * fw);
  return frame;
}

bool AnyVisible(const std::vector<uint32_t>& pixels) {
  for (uint32_t p : pixels) {
    if (p >> 24)
      return true;
  }
  return false;
}

class EmbeddedSkinTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    gdiplus_ = new GdiplusSession;
    module_ = LoadLibraryExW(ProgramPath().c_str(), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    loader_ = new ResLoaderMgr;
    packLoaded_ = module_ && loader_->LoadModulePack(module_);
  }
  static void TearDownTestSuite() {
    delete loader_;  // images go before GDI+ does
    delete gdiplus_;
    if (module_)
      FreeLibrary(module_);
  }
  void SetUp() override {
    ASSERT_TRUE(gdiplus_->ok());
    ASSERT_NE(module_, nullptr) << "cannot open " << testing::PrintToString(ProgramPath());
    ASSERT_TRUE(packLoaded_) << "the program's pack is missing or malformed";
  }

  static GdiplusSession* gdiplus_;
  static HMODULE module_;
  static ResLoaderMgr* loader_;
  static bool packLoaded_;
};

GdiplusSession* EmbeddedSkinTest::gdiplus_ = nullptr;
HMODULE EmbeddedSkinTest::module_ = nullptr;
ResLoaderMgr* EmbeddedSkinTest::loader_ = nullptr;
bool EmbeddedSkinTest::packLoaded_ = false;

}  // namespace

TEST_F(EmbeddedSkinTest, NamesAreLowerCasePackPaths) {
  ASSERT_FALSE(loader_->pack().directory().empty());
  for (const auto& [name, entry] : loader_->pack().directory()) {
    EXPECT_EQ(FoldSkinPath(name), name);
    EXPECT_EQ(name.find(L'/'), std::wstring::npos) << testing::PrintToString(name);
    bool known = name.rfind(L"img\\", 0) == 0 || name.rfind(L"xml\\", 0) == 0 ||
                 name.find(L'\\') == std::wstring::npos;
    EXPECT_TRUE(known) << "packed from an unexpected folder: " << testing::PrintToString(name);
    if (name.size() > 4 && name.compare(name.size() - 4, 4, L".xml") == 0) {
      std::string text = loader_->ReadEntry(name);
      EXPECT_TRUE(!text.empty() && text[0] == '<') << "layouts start with '<', no BOM";
    }
  }
  EXPECT_EQ(loader_->ReadEntry(L"cssData.json"), "");
}

TEST_F(EmbeddedSkinTest, EveryPackedImageDecodes) {
  for (const auto& [name, entry] : loader_->pack().directory()) {
    if (name.size() > 4 && name.compare(name.size() - 4, 4, L".png") == 0) {
      EXPECT_NE(loader_->LoadImage(name), nullptr) << testing::PrintToString(name);
    }
  }
}

TEST_F(EmbeddedSkinTest, NamedImagesHaveTheirSizeAndFrames) {
  for (const NamedImage& want : kImages) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(want.path)));
    SkinBitmap* image = loader_->LoadImage(want.path);
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(Gdiplus::IsAlphaPixelFormat(image->GetPixelFormat()));
    ASSERT_EQ(image->GetWidth(), want.width);
    ASSERT_EQ(image->GetHeight(), want.height);
    std::vector<uint32_t> pixels = Pixels(image);
    ASSERT_EQ(pixels.size(), size_t(want.width) * want.height);
    EXPECT_TRUE(AnyVisible(pixels));

    switch (want.art) {
      case Art::kSingle:
        break;
      case Art::kStrip: {
        // Normal, hover, pressed, disabled: each drawn, no two alike.
        ASSERT_EQ(want.width % 4, 0u);
        std::vector<uint32_t> frames[4];
        for (int f = 0; f < 4; ++f) {
          frames[f] = Frame(pixels, want.width, want.height, f);
          EXPECT_TRUE(AnyVisible(frames[f])) << "frame " << f;
        }
        for (int a = 0; a < 4; ++a) {
          for (int b = a + 1; b < 4; ++b)
            EXPECT_NE(frames[a], frames[b]) << "frames " << a << " and " << b;
        }
        break;
      }
      case Art::kNineGrid: {
        // Square, in three equal bands, with an opaque centre pixel that fills the middle.
        EXPECT_EQ(want.width, want.height);
        EXPECT_EQ(want.width % 3, 0u);
        uint32_t centre = pixels[size_t(want.height / 2) * want.width + want.width / 2];
        EXPECT_EQ(centre >> 24, 0xFFu);
        break;
      }
    }
  }
}

// The window icon (107) and the notification-area icon (108): every size the shell asks for,
// each one loadable as an icon.
TEST_F(EmbeddedSkinTest, ProgramIconsCarryEverySize) {
#pragma pack(push, 2)
  struct GroupEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
  };
#pragma pack(pop)
  for (int group : {107, 108}) {
    SCOPED_TRACE(group);
    HRSRC info = FindResourceW(module_, MAKEINTRESOURCEW(group), RT_GROUP_ICON);
    ASSERT_NE(info, nullptr);
    const BYTE* dir = static_cast<const BYTE*>(LockResource(LoadResource(module_, info)));
    ASSERT_NE(dir, nullptr);
    WORD count = 0;
    memcpy(&count, dir + 4, 2);
    ASSERT_EQ(SizeofResource(module_, info), 6u + count * sizeof(GroupEntry));
    std::set<int> sizes;
    for (WORD i = 0; i < count; ++i) {
      GroupEntry e;
      memcpy(&e, dir + 6 + i * sizeof(GroupEntry), sizeof e);
      const int size = e.width ? e.width : 256;
      EXPECT_EQ(e.width, e.height);
      EXPECT_EQ(e.bitCount, 32) << size;
      sizes.insert(size);
      HRSRC image = FindResourceW(module_, MAKEINTRESOURCEW(e.id), RT_ICON);
      ASSERT_NE(image, nullptr) << size;
      BYTE* bits = static_cast<BYTE*>(LockResource(LoadResource(module_, image)));
      HICON icon = CreateIconFromResourceEx(bits, SizeofResource(module_, image), TRUE, 0x00030000,
                                            size, size, LR_DEFAULTCOLOR);
      EXPECT_NE(icon, nullptr) << size;
      if (icon)
        DestroyIcon(icon);
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 24, 32, 48, 256}));
  }
}

TEST_F(EmbeddedSkinTest, VersionResourceStaysInPlace) {
  DWORD ignored = 0;
  const std::wstring path = ProgramPath();
  DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<BYTE> block(size);
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, DWORD(MAKELONG(0, 1)));
  EXPECT_EQ(fixed->dwFileVersionLS, DWORD(MAKELONG(1, 0)));
}
