#include <gtest/gtest.h>

#include <string>

#include "sys/StringFormat.h"
#include "tests/xml/XmlTestWalk.h"
#include "xml/XmlDocument.h"

namespace {

TEST(XmlDocumentParse, ResultAndLog) {
  const struct {
    const wchar_t* text;
    bool ok;
    const wchar_t* log;
  } cases[] = {
      {L"<a/>", true, L""},
      {L"<?xml version=\"1.0\"?>\r\n<!DOCTYPE a [<!ENTITY x '>'> <!-- ] > -->]>\r\n"
       L"<a b='>' c=\"/>\"><!-- <b> --><![CDATA[</a>]]><?pi <x>?>t</a>\r\n",
       true, L""},
      // Processing instructions in the internal subset are whole units.
      {L"<!DOCTYPE a [ <?note it's here?> <!ELEMENT a ANY> ]><a>x</a>", true, L""},
      {L"<!DOCTYPE a [ <?note a]b?> <!ELEMENT a ANY> ]><a>x</a>", true, L""},
      {L"<a/><b/>", false, L"<root_has_sibling/>"},
      {L" \r\n\t", false, L"<no_root_element/>"},
      {L"", false, L"<no_root_element/>"},
      {L"<!-- only -->", false, L"<no_root_element/>"},
      {L"<a><b></a>", false, L"<unended_start_tag tagname=\"b\" offset=\"3\" offset2=\"6\"/>"},
      {L"<a><b>", false,
       L"<unended_start_tag tagname=\"b\" offset=\"3\" offset2=\"6\"/>"
       L"<unended_start_tag tagname=\"a\" offset=\"0\" offset2=\"6\"/>"},
      {L"<a></b></a>", false, L"<lone_end_tag tagname=\"b\" offset=\"3\"/>"},
      {L"<a></A>", false,
       L"<lone_end_tag tagname=\"A\" offset=\"3\"/>"
       L"<unended_start_tag tagname=\"a\" offset=\"0\" offset2=\"7\"/>"},
      {L"<a>< b</a>", false, L"<first_tag_syntax/>"},
      {L"<a>1<2</a>", false, L"<first_tag_syntax/>"},
      {L"<a><!x></a>", false, L"<exclamation_tag_syntax/>"},
      {L"<a><!-x></a>", false, L"<comment_tag_syntax/>"},
      {L"<a><![CDATX[</a>", false, L"<cdata_section_syntax/>"},
      {L"<a><!DOCTYPX></a>", false, L"<doctype_tag_syntax/>"},
      {L"<a><!-- x</a>", false,
       L"<unterminated_tag_syntax type=\"comment\" offset=\"3\"/>"
       L"<unended_start_tag tagname=\"a\" offset=\"0\" offset2=\"13\"/>"},
      {L"<a/><![CDATA[x", false, L"<unterminated_tag_syntax type=\"cdata_section\" offset=\"4\"/>"},
      {L"<a/><?pi", false,
       L"<unterminated_tag_syntax type=\"processing_instruction\" offset=\"4\"/>"},
      {L"<a/><!DOCTYPE a [ x", false,
       L"<unterminated_tag_syntax type=\"document_type\" offset=\"4\"/>"},
      {L"<a/></a", false, L"<unterminated_tag_syntax type=\"end_tag\" offset=\"4\"/>"},
      {L"<a x='1", false,
       L"<unterminated_tag_syntax type=\"start_tag\" offset=\"0\"/><no_root_element/>"},
      {L"<a <b/>", false, L"<unterminated_tag_syntax type=\"start_tag\" offset=\"0\"/>"},
      {L"<a/><", false, L"<unterminated_tag_syntax type=\"tag\" offset=\"4\"/>"},
      {L"<a/><!", false, L"<unterminated_tag_syntax type=\"tag\" offset=\"4\"/>"},
      {L"<a/><!-", false, L"<unterminated_tag_syntax type=\"comment\" offset=\"4\"/>"},
      {L"<a/><![CDA", false, L"<unterminated_tag_syntax type=\"cdata_section\" offset=\"4\"/>"},
  };
  for (const auto& c : cases) {
    XmlDocument doc;
    EXPECT_EQ(doc.SetDocumentText(c.text), c.ok) << c.text;
    EXPECT_EQ(doc.GetLog(), c.log) << c.text;
    EXPECT_TRUE(doc.IsConsistent()) << c.text;
  }
}

TEST(XmlDocumentParse, IgnoreCaseFlagMatchesEndTags) {
  XmlDocument doc;
  doc.SetDocFlags(XmlDocument::kFlagIgnoreCase);
  EXPECT_TRUE(doc.SetDocumentText(L"<Cfg><ITEM></item></cfg>"));
  EXPECT_TRUE(doc.FindElement(L"cfg"));
  EXPECT_TRUE(doc.EnterElement());
  EXPECT_TRUE(doc.FindElement(L"Item"));
}

TEST(XmlDocumentParse, SetDocumentTextStartsAFreshLogAndParseAppends) {
  XmlDocument doc;
  EXPECT_FALSE(doc.SetDocumentText(L"<a/><b/>"));
  EXPECT_FALSE(doc.Parse());
  EXPECT_EQ(doc.GetLog(), L"<root_has_sibling/><root_has_sibling/>");
  EXPECT_TRUE(doc.SetDocumentText(L"<a/>"));
  EXPECT_EQ(doc.GetLog(), L"");
}

TEST(XmlDocumentParse, SetDocumentUtf8IsSetDocumentTextOfTheConvertedBytes) {
  const std::string cases[] = {"<a t=\"\xE4\xB8\xAD\"><b/></a>", "<a/>\xFF<b/>", "", "<a"};
  for (const std::string& bytes : cases) {
    XmlDocument direct;
    XmlDocument converted;
    EXPECT_EQ(direct.SetDocumentUtf8(bytes), converted.SetDocumentText(Utf8ToWide(bytes)));
    EXPECT_EQ(direct.GetDocumentText(), converted.GetDocumentText());
    EXPECT_EQ(direct.GetLog(), converted.GetLog());
  }
}

TEST(XmlDocumentParse, NullTextClearsTheDocument) {
  XmlDocument doc;
  ASSERT_TRUE(doc.SetDocumentText(L"<a/>"));
  EXPECT_FALSE(doc.SetDocumentText(static_cast<const wchar_t*>(nullptr)));
  EXPECT_EQ(doc.GetDocumentText(), L"");
  EXPECT_FALSE(doc.FindElement());
}

TEST(XmlDocumentParse, ParseResetsTheCursor) {
  XmlDocument doc;
  ASSERT_TRUE(doc.SetDocumentText(L"<a><b/><c/></a>"));
  ASSERT_TRUE(doc.FindElement(L"a"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.FindElement(L"c"));
  EXPECT_TRUE(doc.Parse());
  EXPECT_EQ(doc.GetNodeName(), L"");
  EXPECT_FALSE(doc.LeaveElement());
  EXPECT_TRUE(doc.FindElement(L"a"));
}

TEST(XmlDocumentParse, LogStopsGrowingPastItsLimit) {
  std::wstring text = L"<a>";
  for (int i = 0; i < 500; ++i)
    text += L"</b>";
  text += L"</a>";
  XmlDocument doc;
  EXPECT_FALSE(doc.SetDocumentText(text));
  const std::wstring& log = doc.GetLog();
  EXPECT_GT(log.size(), 999u);
  EXPECT_LT(log.size(), 999u + 60);
  const std::wstring first = L"<lone_end_tag tagname=\"b\" offset=\"3\"/>";
  EXPECT_EQ(log.substr(0, first.size()), first);
}

TEST(XmlDocumentParse, DeepNestingNeedsNoRecursion) {
  const int depth = 100000;
  std::wstring text;
  for (int i = 0; i < depth; ++i)
    text += L"<e>";
  text += L"x";
  for (int i = 0; i < depth; ++i)
    text += L"</e>";
  XmlDocument doc;
  ASSERT_TRUE(doc.SetDocumentText(text));
  EXPECT_TRUE(doc.IsConsistent());
  int levels = 0;
  while (doc.FindNextNode() && doc.EnterElement())
    ++levels;
  EXPECT_EQ(levels, depth);
  EXPECT_EQ(doc.FindNextNode(XmlDocument::kNodeAny), XmlDocument::kNodeText);
  EXPECT_EQ(doc.GetContent(), L"x");
}

TEST(XmlDocumentParse, ManyLoneEndTagsUnderDeepNestingStayLinear) {
  // Every end tag names an element that is not open: each must be found lone at once.
  std::wstring text;
  for (int i = 0; i < 50000; ++i)
    text += L"<a>";
  for (int i = 0; i < 50000; ++i)
    text += L"</b>";
  XmlDocument doc;
  EXPECT_FALSE(doc.SetDocumentText(text));
  EXPECT_TRUE(doc.IsConsistent());
}

TEST(XmlDocumentParse, IndexGrowsPastOneBlock) {
  std::wstring text = L"<r>";
  for (int i = 0; i < 70000; ++i)
    text += L"<i/>";
  text += L"</r>";
  XmlDocument doc;
  ASSERT_TRUE(doc.SetDocumentText(text));
  EXPECT_TRUE(doc.IsConsistent());
  ASSERT_TRUE(doc.FindElement(L"r"));
  ASSERT_TRUE(doc.EnterElement());
  int count = 0;
  while (doc.FindNextNode())
    ++count;
  EXPECT_EQ(count, 70000);
}

TEST(XmlDocumentParse, WalkOfAnIllFormedDocumentIsSafe) {
  bool finished = false;
  XmlDocument doc;
  doc.SetDocumentText(L"<a><b>t</a><!x><c a='1'>&amp;</c></z>");
  std::wstring walk = WalkDocument(doc, 1000, &finished);
  EXPECT_TRUE(finished);
  EXPECT_EQ(walk,
            L"0 1 a =  []\n"
            L"1 1 b = t []\n"
            L"2 2 #text = t []\n"
            L"0 2 #text = !x> []\n"
            L"0 1 c = & [a=1;]\n"
            L"1 2 #text = & []\n"
            L"0 128 z = z []\n");
}

}  // namespace
