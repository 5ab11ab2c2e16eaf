#include <gtest/gtest.h>

#include <random>
#include <string>

#include "xml/XmlDocument.h"

namespace {

TEST(XmlEntities, DecodeEntities) {
  const struct {
    const wchar_t* in;
    const wchar_t* out;
  } cases[] = {
      {L"&lt;&amp;", L"<&"},
      {L"a &gt; b", L"a > b"},
      {L"&#x1F600;", L"\xD83D\xDE00"},
      {L"&#128512;", L"\xD83D\xDE00"},
      {L"&#X41;&#65;&#x6a;", L"AAj"},
      {L"&unknown;", L"&unknown;"},
      {L"&amp", L"&amp"},
      {L"&&lt;", L"&<"},
      {L"&;", L"&;"},
      {L"&#;&#x;", L"&#;&#x;"},
      {L"&#0;", L"&#0;"},
      {L"&#xD800;", L"&#xD800;"},
      {L"&#x110000;", L"&#x110000;"},
      {L"&#12a;", L"&#12a;"},
      // At most nine characters between "&" and ";".
      {L"&#00000065;", L"A"},
      {L"&#000000065;", L"&#000000065;"},
      {L"&thetasym;&toolongname;", L"\x03D1&toolongname;"},
      {L"&Eacute;&eacute;&EACUTE;", L"\x00C9\x00E9\x00C9"},
      {L"&QUOT;&apos;&nbsp;", L"\"'\x00A0"},
      {L"&AMP;&Lt;&gT;&APOS;&Quot;&ltx;&am;", L"&<>'\"&ltx;&am;"},
      {L"x&", L"x&"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(XmlDocument::DecodeEntities(c.in), c.out) << c.in;
}

TEST(XmlEntities, WhitespaceOptionsWorkOnTheTextAsWritten) {
  const uint32_t trim = XmlDocument::kFlagTrimWhitespace;
  const uint32_t collapse = XmlDocument::kFlagCollapseWhitespace;
  const struct {
    const wchar_t* in;
    uint32_t options;
    const wchar_t* out;
  } cases[] = {
      {L" \t a \r\n b  ", trim, L"a \r\n b"},
      {L" \t a \r\n b  ", collapse, L" \t a b  "},
      {L" \t a \r\n b  ", trim | collapse, L"a b"},
      {L"&#32;a&amp;b ", trim, L" a&b"},
      {L"   ", trim | collapse, L""},
      {L"a", trim | collapse, L"a"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(XmlDocument::DecodeEntities(c.in, c.options), c.out) << c.in;
}

TEST(XmlEntities, EncodeEntities) {
  const struct {
    const wchar_t* in;
    bool attribute;
    bool keep;
    const wchar_t* out;
  } cases[] = {
      {L"<a & b>", false, false, L"&lt;a &amp; b&gt;"},
      {L"\"it's\"", false, false, L"\"it's\""},
      {L"\"it's\" <&>", true, false, L"&quot;it&apos;s&quot; &lt;&amp;&gt;"},
      {L"&amp; &x; &#65; &#; &; & &1;", false, true,
       L"&amp; &x; &#65; &amp;#; &amp;; &amp; &amp;1;"},
      {L"&amp;", false, false, L"&amp;amp;"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(XmlDocument::EncodeEntities(c.in, c.attribute, c.keep), c.out) << c.in;
}

// Whatever the text, escaping and unescaping give it back.
TEST(XmlEntities, DecodeUndoesEncode) {
  const wchar_t alphabet[] = L"a&;#x<>\"' \t\r\n1lgtamp\x00E9\xD800\xDC00";
  std::mt19937 random(7);
  for (int round = 0; round < 2000; ++round) {
    std::wstring text;
    size_t length = random() % 24;
    for (size_t i = 0; i < length; ++i)
      text.push_back(alphabet[random() % (sizeof(alphabet) / sizeof(wchar_t) - 1)]);
    for (bool attribute : {false, true}) {
      EXPECT_EQ(XmlDocument::DecodeEntities(XmlDocument::EncodeEntities(text, attribute)), text);
    }
  }
}

}  // namespace
