#include "ui/core/UIValueParse.h"

#include <gtest/gtest.h>

#include "ui/core/UIFont.h"

TEST(UIValueParse, ColoursOfEverySyntax) {
  struct Case {
    const wchar_t* text;
    uint32_t argb;
  } cases[] = {
      {L"white", 0xFFFFFFFF},
      {L"black", 0xFF60656F},
      {L"White", 0xFE00000E},
      {L"#ffffff", 0xFEFFFFFF},
      {L"ffffffff", 0xFFFFFFFF},
      {L"#ffffffff", 0xFFFFFFFF},
      {L"0x#5fc7dae9", 0x5FC7DAE9},
      {L"0XFF0000", 0xFEFF0000},
      {L"#f", 0xFE00000F},
      {L"#zz", 0xFE000000},
      {L"123456789", 0x23456789},
      {L"", 0},
      {L"#", 0},
      {L"0x", 0},
      {L"255,0,0", 0xFFFF0000},
      {L"128,1,2,3", 0x80010203},
      {L"256,0,-1", 0xFF0000FF},
      {L"1,2", 0xFF000000},
      {L"1,2,3,4,5", 0xFF000000},
      {L"#10,20,30", 0xFF0A141E},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ParseColor(c.text), c.argb) << testing::PrintToString(std::wstring(c.text));
}

TEST(UIValueParse, BooleansAreTrueOnlyForFourSpellings) {
  for (const wchar_t* yes : {L"true", L"TRUE", L"1", L"yes"})
    EXPECT_TRUE(ParseBool(yes)) << yes;
  for (const wchar_t* no : {L"True", L"YES", L"2", L"on", L"", L" true", L"false"})
    EXPECT_FALSE(ParseBool(no)) << no;
}

TEST(UIValueParse, RectanglesNeedExactlyFourParts) {
  struct Case {
    const wchar_t* text;
    bool parsed;
    RECT rect;
  } cases[] = {
      {L"1,2,30,40", true, {1, 2, 31, 42}}, {L"-5, 5,10,0", true, {-5, 5, 5, 5}},
      {L"a,b,c,d", true, {0, 0, 0, 0}},     {L"1,2,3", false, {7, 7, 7, 7}},
      {L"1,2,3,4,5", false, {7, 7, 7, 7}},  {L"", false, {7, 7, 7, 7}},
  };
  for (const Case& c : cases) {
    RECT r = {7, 7, 7, 7};
    EXPECT_EQ(ParseRect(c.text, &r), c.parsed) << c.text;
    EXPECT_TRUE(EqualRect(&r, &c.rect))
        << c.text << " -> " << r.left << "," << r.top << "," << r.right << "," << r.bottom;
  }
}

TEST(UIValueParse, InsetsFillMissingSidesWithZero) {
  struct Case {
    const wchar_t* text;
    RECT insets;
  } cases[] = {
      {L"", {0, 0, 0, 0}},      {L"5", {5, 0, 0, 0}},       {L"1,2", {1, 2, 0, 0}},
      {L"1,2,3", {1, 2, 3, 0}}, {L"1,2,3,4", {1, 2, 3, 4}}, {L"1,2,3,4,9", {1, 2, 3, 4}},
  };
  for (const Case& c : cases) {
    RECT r = ParseInsets(c.text);
    EXPECT_TRUE(EqualRect(&r, &c.insets)) << c.text;
  }
}

TEST(UIValueParse, FontDescificationsGiveSizeAndStyles) {
  using namespace Gdiplus;
  struct Case {
    const wchar_t* text;
    int pixels;
    int style;
  } cases[] = {
      {L"", 13, FontStyleRegular},
      {L"16", 16, FontStyleRegular},
      {L"14b", 14, FontStyleBold},
      {L"12BU", 12, FontStyleBold | FontStyleUnderline},
      {L"20isx", 20, FontStyleItalic | FontStyleStrikeout},
      {L"15 bius", 15, FontStyleBold | FontStyleItalic | FontStyleUnderline | FontStyleStrikeout},
  };
  for (const Case& c : cases) {
    FontDesc f = ParseFontDesc(c.text);
    EXPECT_EQ(f.pixels, c.pixels) << c.text;
    EXPECT_EQ(f.style, c.style) << c.text;
  }
}
