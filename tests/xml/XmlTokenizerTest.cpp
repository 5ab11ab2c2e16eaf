#include <gtest/gtest.h>

#include <string>

#include "xml/XmlTokenizer.h"

namespace {

bool PlainNameStart(wchar_t c) {
  return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || c == L'_' || c == L':' ||
         c >= 0x80;
}

TEST(XmlTokenizer, NameCharacterClasses) {
  for (unsigned c = 0; c < 0x100; ++c) {
    wchar_t w = static_cast<wchar_t>(c);
    bool start = PlainNameStart(w);
    bool name = start || (w >= L'0' && w <= L'9') || w == L'-' || w == L'.';
    EXPECT_EQ(IsXmlNameStart(w), start) << c;
    EXPECT_EQ(IsXmlNameChar(w), name) << c;
  }
  for (wchar_t w : {L'\x4E2D', L'\xD800', L'\xFFFF'}) {
    EXPECT_TRUE(IsXmlNameStart(w));
    EXPECT_TRUE(IsXmlNameChar(w));
  }
}

// The sequence of tokens of a text, one letter per token.
std::wstring Kinds(const std::wstring& text) {
  static const wchar_t kLetters[] = L"TSEePCcDM";
  std::wstring out;
  for (uint32_t pos = 0; pos < text.size();) {
    XmlToken t = ScanXmlToken(text.data(), static_cast<uint32_t>(text.size()), pos);
    EXPECT_GT(t.end, pos);
    out.push_back(kLetters[static_cast<int>(t.kind)]);
    pos = t.end;
  }
  return out;
}

TEST(XmlTokenizer, Tokens) {
  const struct {
    const wchar_t* text;
    const wchar_t* kinds;
  } cases[] = {
      {L"a<b>c</b>", L"TSTe"},
      {L"<b/><b x='/>'>", L"ES"},
      {L"<a x=\"1>2\" y = '3' z>", L"S"},
      {L"<a don't>", L"S"},  // a quote not after "=" delimits nothing
      {L"<?pi ?><!--x--><![CDATA[]]><!DOCTYPE d [<!-- ] -->]>", L"PCcD"},
      {L"<a <b>", L"MS"},
      {L"</a <b>", L"MS"},
      {L"< a", L"MT"},
      {L"<!-->", L"M"},
      {L"<", L"M"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Kinds(c.text), c.kinds) << c.text;
}

TEST(XmlTokenizer, Attributes) {
  const std::wstring tag = L" a='1' = 'junk' b c = \"x y\" / d=e  f=\"unclosed";
  std::wstring seen;
  uint32_t pos = 0;
  XmlAttributeSpan a;
  while (NextXmlAttribute(tag.data(), &pos, static_cast<uint32_t>(tag.size()), &a)) {
    seen += tag.substr(a.nameStart, a.nameEnd - a.nameStart) + L"=" +
            tag.substr(a.valueStart, a.valueEnd - a.valueStart) + (a.hasValue ? L";" : L"!;");
  }
  EXPECT_EQ(seen, L"a=1;b=!;c=x y;d=e;f=unclosed;");
  EXPECT_EQ(pos, tag.size());
}

}  // namespace
