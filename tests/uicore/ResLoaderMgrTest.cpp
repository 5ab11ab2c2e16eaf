#include "ui/core/ResLoaderMgr.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/uicore/PackBuilder.h"
#include "ui/core/UIRenderImg.h"

namespace {

// UTF-8 with a zero byte inside: text comes back byte for byte, not as a C string.
const char kLayout[] = "<UIWnd txt=\"\xE5\xAE\x9A\"/>\0tail";
const std::string kLayoutBytes(kLayout, sizeof(kLayout) - 1);

class ResLoaderMgrTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { gdiplus_ = new GdiplusSession; }
  static void TearDownTestSuite() {
    delete gdiplus_;
    gdiplus_ = nullptr;
  }

  void SetUp() override {
    ASSERT_TRUE(gdiplus_->ok());
    pack_ = BuildPack({{L"img\\btn\\tiny.png", TinyPng()},
                       {L"img\\broken.png", "not a png at all"},
                       {L"img\\empty.png", ""},
                       {L"xml\\main.xml", kLayoutBytes}})
                .bytes;
    ASSERT_TRUE(loader_.LoadPack(pack_.data(), pack_.size()));
  }

  static GdiplusSession* gdiplus_;
  std::string pack_;
  ResLoaderMgr loader_;
};

GdiplusSession* ResLoaderMgrTest::gdiplus_ = nullptr;

}  // namespace

TEST_F(ResLoaderMgrTest, ImageDecodesToArgbPixels) {
  SkinBitmap* image = loader_.LoadImage(L"img\\btn\\tiny.png");
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->GetWidth(), 3u);
  EXPECT_EQ(image->GetHeight(), 2u);
  struct Pixel {
    int x, y;
    Gdiplus::ARGB argb;
  } pixels[] = {{0, 0, 0xFFFF0000}, {1, 0, 0xFF00FF00}, {2, 0, 0xFF0000FF}, {2, 1, 0xFF000000}};
  for (const Pixel& p : pixels) {
    Gdiplus::Color c;
    ASSERT_EQ(image->GetPixel(p.x, p.y, &c), Gdiplus::Ok);
    EXPECT_EQ(c.GetValue(), p.argb) << p.x << "," << p.y;
  }
  Gdiplus::Color transparent;
  ASSERT_EQ(image->GetPixel(0, 1, &transparent), Gdiplus::Ok);
  EXPECT_EQ(transparent.GetA(), 0);
}

TEST_F(ResLoaderMgrTest, SameImageObjectForEveryRequestOfAPath) {
  SkinBitmap* first = loader_.LoadImage(L"img\\btn\\tiny.png");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(loader_.LoadImage(L"img\\btn\\tiny.png"), first);
  EXPECT_EQ(loader_.LoadImage(L"IMG\\Btn\\TINY.PNG"), first);
  EXPECT_EQ(loader_.cached_image_count(), 1u);
}

TEST_F(ResLoaderMgrTest, AbsentImagesAnswerNullAndAreNotCached) {
  for (const wchar_t* path : {L"img\\missing.png", L"img/btn/tiny.png", L"img\\missing.png"}) {
    EXPECT_EQ(loader_.LoadImage(path), nullptr) << path;
    EXPECT_EQ(loader_.cached_image_count(), 0u) << path;
  }
}

TEST_F(ResLoaderMgrTest, UnreadableImagesAnswerNullAndAreNotDecodedAgain) {
  for (const wchar_t* path : {L"img\\broken.png", L"img\\empty.png"}) {
    EXPECT_EQ(loader_.LoadImage(path), nullptr) << path;
    EXPECT_EQ(loader_.LoadImage(path), nullptr) << path;
  }
  EXPECT_EQ(loader_.cached_image_count(), 2u);
  EXPECT_NE(loader_.LoadImage(L"img\\btn\\tiny.png"), nullptr);
}

TEST_F(ResLoaderMgrTest, ImagesKeepTheirOwnCopyOfTheEncodedBytes) {
  SkinBitmap* image = loader_.LoadImage(L"img\\btn\\tiny.png");
  ASSERT_NE(image, nullptr);
  // Wipe the pack: a bitmap that decodes lazily must not depend on it.
  std::fill(pack_.begin(), pack_.end(), '\0');
  Gdiplus::Color c;
  ASSERT_EQ(image->GetPixel(1, 0, &c), Gdiplus::Ok);
  EXPECT_EQ(c.GetValue(), 0xFF00FF00);
}

TEST_F(ResLoaderMgrTest, TextComesBackAsStoredBytes) {
  EXPECT_EQ(loader_.LoadText(L"XML\\MAIN.XML"), kLayoutBytes);
  EXPECT_EQ(loader_.ReadEntry(L"xml\\main.xml"), loader_.LoadText(L"xml\\main.xml"));
  EXPECT_EQ(loader_.LoadText(L"xml/main.xml"), "");
  EXPECT_EQ(loader_.ReadEntry(L"cssData.json"), "");
  EXPECT_EQ(loader_.LoadText(L"img\\empty.png"), "");
}

TEST(ResLoaderMgr, WithoutAPackEveryRequestMisses) {
  ResLoaderMgr loader;
  // The test program carries no pack resource.
  EXPECT_FALSE(loader.LoadModulePack(GetModuleHandleW(nullptr)));
  EXPECT_EQ(loader.LoadText(L"xml\\main.xml"), "");
  EXPECT_EQ(loader.LoadImage(L"img\\ico24.png"), nullptr);
  size_t size = 5;
  EXPECT_EQ(loader.FindEntry(L"img\\ico24.png", &size), nullptr);
  EXPECT_EQ(size, 0u);
}

TEST(ResLoaderMgr, ProcessWideLoaderIsTheOneSet) {
  UIResLoader* before = GetResLoader();
  ResLoaderMgr loader;
  SetResLoader(&loader);
  EXPECT_EQ(GetResLoader(), &loader);
  SetResLoader(before);
  EXPECT_EQ(GetResLoader(), before);
}

TEST(ResLoaderMgr, ImageAskedForBeforeGdiplusStartsIsDecodedOnceItRuns) {
  ASSERT_FALSE(GdiplusSession::AnyRunning());
  std::string pack = BuildPack({{L"img\\btn\\tiny.png", TinyPng()}}).bytes;
  auto loader = std::make_unique<ResLoaderMgr>();
  ASSERT_TRUE(loader->LoadPack(pack.data(), pack.size()));
  EXPECT_EQ(loader->LoadImage(L"img\\btn\\tiny.png"), nullptr);
  EXPECT_EQ(loader->cached_image_count(), 0u);

  GdiplusSession gdiplus;
  ASSERT_TRUE(gdiplus.ok());
  SkinBitmap* image = loader->LoadImage(L"img\\btn\\tiny.png");
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->GetWidth(), 3u);
  // The cache holds GDI+ objects: it goes before GDI+ does.
  loader.reset();
}

TEST_F(ResLoaderMgrTest, PrefetchedImagesAnswerAsIfDecodedOnRequest) {
  loader_.Prefetch({L"IMG\\btn\\tiny.png", L"img\\broken.png", L"img\\missing.png"});
  SkinBitmap* image = loader_.LoadImage(L"img\\btn\\tiny.png");
  ASSERT_NE(image, nullptr);
  Gdiplus::Color c;
  ASSERT_EQ(image->GetPixel(2, 0, &c), Gdiplus::Ok);
  EXPECT_EQ(c.GetValue(), 0xFF0000FF);
  EXPECT_EQ(loader_.LoadImage(L"img\\btn\\tiny.png"), image);
  EXPECT_EQ(loader_.LoadImage(L"img\\broken.png"), nullptr);
  EXPECT_EQ(loader_.LoadImage(L"img\\missing.png"), nullptr);
  // The broken file is remembered, the missing one is not, as without a prefetch.
  EXPECT_EQ(loader_.cached_image_count(), 2u);
}

TEST_F(ResLoaderMgrTest, ImageSizeOfAPngIsReadFromItsHeaderWithoutDecoding) {
  const std::string png = TinyPng();
  std::string pack =
      BuildPack(
          {{L"a.png", png}, {L"head.png", png.substr(0, 33)}, {L"broken.png", "not a png at all"}})
          .bytes;
  ResLoaderMgr loader;
  ASSERT_TRUE(loader.LoadPack(pack.data(), pack.size()));
  struct Case {
    const wchar_t* path;
    bool found;
    size_t cachedAfter;  // only a file that is not a PNG is decoded for its size
  } cases[] = {{L"A.PNG", true, 0},
               {L"head.png", true, 0},
               {L"missing.png", false, 0},
               {L"broken.png", false, 1}};
  for (const Case& c : cases) {
    int w = 0, h = 0;
    EXPECT_EQ(loader.ImageSize(c.path, &w, &h), c.found) << c.path;
    if (c.found) {
      EXPECT_EQ(w, 3) << c.path;
      EXPECT_EQ(h, 2) << c.path;
    }
    EXPECT_EQ(loader.cached_image_count(), c.cachedAfter) << c.path;
  }
  // A sound header over a truncated body still fails to decode.
  EXPECT_EQ(loader.LoadImage(L"head.png"), nullptr);
}

TEST_F(ResLoaderMgrTest, ImagePainterDecodesOnFirstPaintAndPaintsTheSame) {
  UIResLoader* previous = GetResLoader();
  SetResLoader(&loader_);
  {
    UIRenderImg render;
    render.SetAttribute(L"file", L"img\\btn\\tiny.png");
    EXPECT_EQ(loader_.cached_image_count(), 0u);
    Gdiplus::Bitmap canvas(3, 2, PixelFormat32bppARGB);
    {
      Gdiplus::Graphics g(&canvas);
      render.Paint(g, Gdiplus::Rect(0, 0, 3, 2));
    }
    EXPECT_EQ(loader_.cached_image_count(), 1u);
    EXPECT_EQ(render.image(), loader_.LoadImage(L"img\\btn\\tiny.png"));
    Gdiplus::Color c;
    ASSERT_EQ(canvas.GetPixel(1, 0, &c), Gdiplus::Ok);
    EXPECT_EQ(c.GetValue(), 0xFF00FF00);
  }
  SetResLoader(previous);
}
