#include <gtest/gtest.h>

#include "sys/GdiplusSession.h"

// The test prefix must draw Chinese with the face the program asks Windows for; screenshots
// and every text-measuring test rely on it.
TEST(TestPrefix, IconTitleFontIsACjkFaceThatGdiplusMeasures) {
  LOGFONTW lf = {};
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(lf), &lf, 0));
  EXPECT_STREQ(lf.lfFaceName, L"WenQuanYi Micro Hei");

  GdiplusSession gdiplus;
  ASSERT_TRUE(gdiplus.ok());
  {
    Gdiplus::FontFamily family(lf.lfFaceName);
    ASSERT_EQ(family.GetLastStatus(), Gdiplus::Ok);
    Gdiplus::Font font(&family, 16, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    Gdiplus::Bitmap bitmap(10, 10, PixelFormat32bppARGB);
    Gdiplus::Graphics g(&bitmap);
    Gdiplus::RectF box;
    const wchar_t text[] = L"Quelm定时任务";
    g.MeasureString(text, -1, &font, Gdiplus::PointF(0, 0),
                    Gdiplus::StringFormat::GenericTypographic(), &box);
    // Seven Latin letters and four ideographs of a real CJK face: about 112 px.
    EXPECT_GT(box.Width, 95);
    EXPECT_LT(box.Width, 130);
  }
}
