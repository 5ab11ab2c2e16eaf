#include "sys/StringFormat.h"

#include <gtest/gtest.h>

#include <climits>

TEST(WFormat, FormatsWideTextsOfAnyLength) {
  EXPECT_EQ(WFormat(L"%02d:%02d", 7, 5), L"07:05");
  EXPECT_EQ(WFormat(L"文件不存在：%ls", L"C:\\a.txt"), L"文件不存在：C:\\a.txt");
  std::wstring long_text(5000, L'x');
  EXPECT_EQ(WFormat(L"[%ls]", long_text.c_str()), L"[" + long_text + L"]");
  EXPECT_EQ(WFormat(L"%.2lfM", 1048577.0 / 1048576.0), L"1.00M");
}

TEST(Utf8, RoundTripsAndReplacesBrokenBytes) {
  const std::wstring text = L"Quelm定时任务 😀 <&>";
  EXPECT_EQ(Utf8ToWide(WideToUtf8(text)), text);
  EXPECT_EQ(WideToUtf8(L"\x63D0"), "\xE6\x8F\x90");
  EXPECT_EQ(Utf8ToWide(""), L"");
  std::wstring broken = Utf8ToWide("a\xE4\xB8z\xFF");
  EXPECT_EQ(broken.front(), L'a');
  EXPECT_NE(broken.find(L'z'), std::wstring::npos) << "a broken sequence never swallows text";
  EXPECT_NE(broken.find(L'\xFFFD'), std::wstring::npos);
}

TEST(ParseDecimal, FollowsTheCLibrary) {
  struct Case {
    const wchar_t* text;
    int expected;
  } cases[] = {
      {L"12", 12},
      {L"12abc", 12},
      {L"abc", 0},
      {L"  42", 42},
      {L"\t7", 7},
      {L"-5", -5},
      {L"+9", 9},
      {L"- 5", 0},
      {L"0x1F", 0},
      {L"007", 7},
      {L"3.9", 3},
      {L"2147483647", INT_MAX},
      {L"99999999999", INT_MAX},
      {L"-99999999999", INT_MIN},
      {L"-2147483648", INT_MIN},
      {L"2147483648", INT_MAX},
      {L"12,5", 12},
      {L"", 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ParseDecimal(c.text), c.expected) << c.text;
}

