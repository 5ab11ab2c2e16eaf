#include "ui/core/UIKeywordMarkup.h"

#include <gtest/gtest.h>

namespace {

const wchar_t kHead[] = L"<text font=\"16\" clr=\"#ff60656f\">";

}  // namespace

TEST(UIKeywordMarkup, BracesMarkRedRunsAndDisappear) {
  struct Case {
    const wchar_t* message;
    const wchar_t* runs;  // what follows the start tag
  } cases[] = {
      {L"即将关机 {10} 秒", L"<p>即将关机 </p><p clr=\"#ffff0000\">10</p><p> 秒</p></text>"},
      {L"no braces", L"<p>no braces</p></text>"},
      {L"a{}b", L"<p>a</p><p>b</p></text>"},
      {L"done}", L"<p clr=\"#ffff0000\">done</p></text>"},
      {L"{x", L"<p>x</p></text>"},
      {L"", L"</text>"},
      {L"{a}{b}", L"<p clr=\"#ffff0000\">a</p><p clr=\"#ffff0000\">b</p></text>"},
      {L"1 < 2", L"<p>1 < 2</p></text>"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BuildKeywordMarkup(c.message, L"16", L"#ff60656f"), kHead + std::wstring(c.runs))
        << testing::PrintToString(std::wstring(c.message));
  }
}

TEST(UIKeywordMarkup, RunsTakeTheRootsFontAndColourUnlessTheyHaveTheirOwn) {
  std::vector<KeywordRun> runs;
  ASSERT_TRUE(ParseKeywordMarkup(
      L"<text font=\"16\" clr=\"#ff60656f\"><p>a &amp; b</p><p clr=\"#ffff0000\" font=\"20b\">"
      L"x</p><p font=\"12\"> </p></text>",
      &runs));
  ASSERT_EQ(runs.size(), 3u);
  struct Expected {
    const wchar_t* text;
    const wchar_t* font;
    uint32_t colour;
  } expected[] = {
      {L"a & b", L"16", 0xFF60656F}, {L"x", L"20b", 0xFFFF0000}, {L" ", L"12", 0xFF60656F}};
  for (size_t i = 0; i < runs.size(); ++i) {
    EXPECT_EQ(runs[i].text, expected[i].text) << i;
    EXPECT_EQ(runs[i].font, expected[i].font) << i;
    EXPECT_EQ(runs[i].colour, expected[i].colour) << i;
  }
}

TEST(UIKeywordMarkup, MarkupThatDoesNotParseGivesNoRuns) {
  for (const std::wstring& markup :
       {BuildKeywordMarkup(L"1 < 2 {a}", L"16", L"#ff000000"), std::wstring(L"<txt><p>a</p></txt>"),
        std::wstring(L"<text><p>a</p>"), std::wstring(L"plain")}) {
    std::vector<KeywordRun> runs{KeywordRun()};
    EXPECT_FALSE(ParseKeywordMarkup(markup, &runs)) << testing::PrintToString(markup);
    EXPECT_TRUE(runs.empty());
  }
}
