#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "xml/XmlDocument.h"

namespace {

const wchar_t kTasks[] =
    L"<cfg>\r\n"
    L"<item>\r\n<guid>g1</guid>\r\n<modul>0</modul>\r\n<name>a &amp; b</name>\r\n</item>\r\n"
    L"<other/>\r\n"
    L"<item>\r\n<guid>g2</guid>\r\n<!-- note -->\r\n<pause>1</pause>\r\n<path/>\r\n</item>\r\n"
    L"</cfg>\r\n";

TEST(XmlDocumentNavigation, FindElementWalksSiblingsAndStopsOnTheLast) {
  XmlDocument doc;
  ASSERT_TRUE(doc.SetDocumentText(kTasks));
  ASSERT_TRUE(doc.FindElement(L"cfg"));
  ASSERT_TRUE(doc.EnterElement());
  std::vector<std::wstring> guids;
  while (doc.FindElement(L"item")) {
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(L"guid"));
    guids.push_back(doc.GetContent());
    ASSERT_TRUE(doc.LeaveElement());
  }
  EXPECT_EQ(guids, (std::vector<std::wstring>{L"g1", L"g2"}));
  // The failed search left the cursor on the last item.
  EXPECT_EQ(doc.GetNodeName(), L"item");
  EXPECT_TRUE(doc.EnterElement());
  EXPECT_TRUE(doc.FindElement(L"pause"));
  EXPECT_EQ(doc.GetContent(), L"1");
}

TEST(XmlDocumentNavigation, FindNextNodeVisitsEveryChildElementInOrder) {
  XmlDocument doc;
  ASSERT_TRUE(doc.SetDocumentText(kTasks));
  ASSERT_TRUE(doc.FindElement(L"cfg"));
  ASSERT_TRUE(doc.EnterElement());
  std::vector<std::pair<std::wstring, std::wstring>> seen;
  while (doc.FindNextNode()) {
    ASSERT_EQ(doc.GetNodeType(), XmlDocument::kNodeElement);
    if (!doc.EnterElement())
      continue;
    while (doc.FindNextNode() == 1)
      seen.emplace_back(doc.GetNodeName(), doc.GetContent());
    doc.LeaveElement();
  }
  std::vector<std::pair<std::wstring, std::wstring>> expected = {
      {L"guid", L"g1"}, {L"modul", L"0"}, {L"name", L"a & b"},
      {L"guid", L"g2"}, {L"pause", L"1"}, {L"path", L""},
  };
  EXPECT_EQ(seen, expected);
}

TEST(XmlDocumentNavigation, LeaveThenEnterReturnsToTheSameChild) {
  XmlDocument doc;
  ASSERT_TRUE(doc.SetDocumentText(L"<a><b/><c>x</c><d/></a>"));
  ASSERT_TRUE(doc.FindElement(L"a"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.FindElement(L"c"));
  ASSERT_TRUE(doc.LeaveElement());
  EXPECT_EQ(doc.GetNodeName(), L"a");
  ASSERT_TRUE(doc.EnterElement());
  EXPECT_EQ(doc.GetNodeName(), L"c");
  EXPECT_EQ(doc.GetContent(), L"x");
  EXPECT_TRUE(doc.FindElement());
  EXPECT_EQ(doc.GetNodeName(), L"d");
  EXPECT_TRUE(doc.IsConsistent());
}

TEST(XmlDocumentNavigation, RefusedMoves) {
  XmlDocument doc;
  EXPECT_FALSE(doc.FindElement());
  EXPECT_EQ(doc.FindNextNode(), 0);
  EXPECT_FALSE(doc.EnterElement());
  EXPECT_FALSE(doc.LeaveElement());
  ASSERT_TRUE(doc.SetDocumentText(L"<a><!--c--><b/></a>"));
  EXPECT_FALSE(doc.EnterElement());  // not on an element yet
  EXPECT_FALSE(doc.LeaveElement());  // at the top level
  ASSERT_TRUE(doc.FindElement(L"a"));
  EXPECT_FALSE(doc.FindElement(L"a"));
  EXPECT_EQ(doc.GetNodeName(), L"a");
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_EQ(doc.FindNextNode(XmlDocument::kNodeComment), XmlDocument::kNodeComment);
  EXPECT_FALSE(doc.EnterElement());  // on a comment
  EXPECT_EQ(doc.FindNextNode(XmlDocument::kNodeComment), 0);
  EXPECT_EQ(doc.GetNodeName(), L"#comment");  // nothing moved
  doc.SetDocFlags(XmlDocument::kFlagWriteFile);
  EXPECT_FALSE(doc.FindElement());
  EXPECT_EQ(doc.FindNextNode(), 0);
}

TEST(XmlDocumentNavigation, FindElementIgnoresCaseUnderTheFlag) {
  XmlDocument doc;
  ASSERT_TRUE(doc.SetDocumentText(L"<Root><Item/></Root>"));
  EXPECT_FALSE(doc.FindElement(L"root"));
  doc.SetDocFlags(XmlDocument::kFlagIgnoreCase);
  EXPECT_TRUE(doc.FindElement(L"ROOT"));
  EXPECT_TRUE(doc.EnterElement());
  EXPECT_TRUE(doc.FindElement(L"item"));
  EXPECT_EQ(doc.GetNodeName(), L"Item");
}

TEST(XmlDocumentNavigation, NodesOfEveryKind) {
  XmlDocument doc;
  doc.SetDocumentText(
      L"<?xml version=\"1.0\"?><!DOCTYPE r SYSTEM \"r.dtd\">"
      L"<r>t &lt;1&gt;<!--c--><?pi a=\"1\" b='&amp;'?><![CDATA[<x>]]></lone><e k=\"v\"/>\r\n</r>");
  struct Node {
    int type;
    std::wstring name;
    std::wstring content;
  };
  std::vector<Node> expected = {
      {16, L"xml", L"xml version=\"1.0\""},
      {64, L"r", L"r SYSTEM \"r.dtd\""},
      {1, L"r", L"t <1><x>"},
      {2, L"#text", L"t <1>"},
      {32, L"#comment", L"c"},
      {16, L"pi", L"pi a=\"1\" b='&amp;'"},
      {8, L"#cdata-section", L"<x>"},
      {128, L"lone", L"lone"},
      {1, L"e", L""},
      {4, L"#text", L"\r\n"},
  };
  std::vector<Node> seen;
  while (int type = doc.FindNextNode(XmlDocument::kNodeAny)) {
    seen.push_back({type, doc.GetNodeName(), doc.GetContent()});
    EXPECT_EQ(doc.GetNodeType(), type);
    if (type == XmlDocument::kNodeProcessingInstruction && doc.GetNodeName() == L"pi") {
      EXPECT_EQ(doc.GetAttributeName(1), L"b");
      EXPECT_EQ(doc.GetAttribute(L"b"), L"&");
    }
    if (type == XmlDocument::kNodeElement && doc.GetNodeName() == L"r")
      doc.EnterElement();
  }
  ASSERT_EQ(seen.size(), expected.size());
  for (size_t i = 0; i < seen.size(); ++i) {
    EXPECT_EQ(seen[i].type, expected[i].type) << i;
    EXPECT_EQ(seen[i].name, expected[i].name) << i;
    EXPECT_EQ(seen[i].content, expected[i].content) << i;
  }
}

TEST(XmlDocumentNavigation, FindNextNodeTakesASetOfTypes) {
  XmlDocument doc;
  ASSERT_TRUE(doc.SetDocumentText(L"<r><!--1--><a/>x<!--2--><b/><![CDATA[y]]></r>"));
  ASSERT_TRUE(doc.FindElement(L"r"));
  ASSERT_TRUE(doc.EnterElement());
  std::wstring seen;
  while (doc.FindNextNode(XmlDocument::kNodeComment | XmlDocument::kNodeCdata))
    seen += doc.GetContent() + L";";
  EXPECT_EQ(seen, L"1;2;y;");
  // The cursor sat after b: there is no further element.
  EXPECT_EQ(doc.FindNextNode(), 0);
}

TEST(XmlDocumentNavigation, ElementContent) {
  const struct {
    const wchar_t* text;
    uint32_t flags;
    const wchar_t* content;
  } cases[] = {
      {L"<a> x &amp; <![CDATA[<y>]]><!--c--> z<b>no</b>tail</a>", 0, L" x & <y> z"},
      {L"<a>  two   words \r\n</a>", XmlDocument::kFlagTrimWhitespace, L"two   words"},
      {L"<a>  two   words \r\n</a>", XmlDocument::kFlagCollapseWhitespace, L"  two words \r\n"},
      {L"<a>  two \t words </a>",
       XmlDocument::kFlagTrimWhitespace | XmlDocument::kFlagCollapseWhitespace, L"two words"},
      {L"<a/>", 0, L""},
      {L"<a></a>", 0, L""},
      {L"<a>&#x4E2D;&Eacute;&eacute;</a>", 0, L"\x4E2D\x00C9\x00E9"},
  };
  for (const auto& c : cases) {
    XmlDocument doc;
    doc.SetDocFlags(c.flags);
    ASSERT_TRUE(doc.SetDocumentText(c.text)) << c.text;
    ASSERT_TRUE(doc.FindElement(L"a"));
    EXPECT_EQ(doc.GetContent(), c.content) << c.text;
  }
}

// Plainly written tags, whose attributes the parse keeps: names that differ only late, the
// same name twice, a value with references, and both quotes.
TEST(XmlDocumentNavigation, AttributesOfPlainTags) {
  XmlDocument doc;
  ASSERT_TRUE(doc.SetDocumentText(
      L"<r><Label textcolor1=\"a\" textcolor2='b' t=\"c\" hotimage=\"d\" hotimagf=\"e\"/>"
      L"<Item id=\"1\" text=\"&#28155;&amp;\" id=\"2\" ab=\"f\" abc=\"g\"/></r>"));
  ASSERT_TRUE(doc.FindElement() && doc.EnterElement() && doc.FindElement());
  const std::pair<const wchar_t*, const wchar_t*> label[] = {
      {L"textcolor1", L"a"}, {L"textcolor2", L"b"}, {L"t", L"c"},       {L"hotimage", L"d"},
      {L"hotimagf", L"e"},   {L"textcolor", L""},   {L"hotimagg", L""}, {L"T", L""}};
  for (const auto& [name, value] : label)
    EXPECT_EQ(doc.GetAttribute(name), value) << name;
  EXPECT_EQ(doc.GetAttributeName(4), L"hotimagf");
  EXPECT_EQ(doc.GetAttributeName(5), L"");

  ASSERT_TRUE(doc.FindElement());
  const std::pair<const wchar_t*, const wchar_t*> item[] = {{L"text", L"\x6DFB&"}, {L"id", L"1"},
                                                            {L"abc", L"g"},        {L"ab", L"f"},
                                                            {L"abd", L""},         {L"xbc", L""}};
  for (const auto& [name, value] : item)
    EXPECT_EQ(doc.GetAttribute(name), value) << name;
  // After the second "id" was named, that is the one read.
  EXPECT_EQ(doc.GetAttributeName(2), L"id");
  EXPECT_EQ(doc.GetAttribute(L"id"), L"2");
  EXPECT_EQ(doc.GetAttributeName(0), L"id");
  EXPECT_EQ(doc.GetAttribute(L"id"), L"1");
}

TEST(XmlDocumentNavigation, Attributes) {
  XmlDocument doc;
  ASSERT_TRUE(doc.SetDocumentText(
      L"<Button name=\"ok\" text='&quot;Go&quot; &amp; see' pos = \"1,2\" checked "
      L"bare=x/>"));
  ASSERT_TRUE(doc.FindElement());
  std::vector<std::wstring> names;
  for (int i = 0; !doc.GetAttributeName(i).empty(); ++i)
    names.push_back(doc.GetAttributeName(i));
  EXPECT_EQ(names, (std::vector<std::wstring>{L"name", L"text", L"pos", L"checked", L"bare"}));
  EXPECT_EQ(doc.GetAttribute(L"name"), L"ok");
  EXPECT_EQ(doc.GetAttribute(L"text"), L"\"Go\" & see");
  EXPECT_EQ(doc.GetAttribute(L"pos"), L"1,2");
  EXPECT_EQ(doc.GetAttribute(L"checked"), L"");
  EXPECT_EQ(doc.GetAttribute(L"bare"), L"x");
  EXPECT_EQ(doc.GetAttribute(L"Name"), L"");
  EXPECT_EQ(doc.GetAttribute(L"missing"), L"");
  EXPECT_EQ(doc.GetAttributeName(5), L"");
  EXPECT_EQ(doc.GetAttributeName(-1), L"");
}

}  // namespace

// The builder's walk reads every attribute through GetAttributeAt: it must answer exactly what
// asking for the name and then the value does, on tags the index holds and on those it scans.
TEST(XmlDocumentNavigation, AttributesInTurnReadAsNamesAndLookupsDo) {
  const wchar_t* texts[] = {
      L"<r a='1' bb=\"two\" ccc='x &amp; y' e=''><k z='&#x5B9A;' z='again'/></r>",
      L"<r><?pi a=\"1\" b='&amp;'?><k long_attribute_name='a rather long value'/></r>",
      L"<r a=1 b='2' c><k =''/></r>",
      L"<r a='1' a='2' a='3'/>",
  };
  for (const wchar_t* text : texts) {
    for (bool edited : {false, true}) {
      XmlDocument doc;
      doc.SetDocumentText(text);
      if (edited) {
        // An edit leaves the tags to be read from the text.
        doc.FindElement();
        doc.SetAttribute(L"added", L"v");
        doc.ResetPos();
      }
      std::wstring name = L"stale", value = L"stale";
      int tags = 0;
      while (int type = doc.FindNextNode(XmlDocument::kNodeElement |
                                         XmlDocument::kNodeProcessingInstruction)) {
        ++tags;
        for (int i = 0; i < 8; ++i) {
          std::wstring expectedName = doc.GetAttributeName(i);
          std::wstring expectedValue = doc.GetAttribute(expectedName);
          bool got = doc.GetAttributeAt(i, &name, &value);
          EXPECT_EQ(got, !expectedName.empty()) << text << " #" << i;
          if (got) {
            EXPECT_EQ(name, expectedName) << text << " #" << i;
            EXPECT_EQ(value, expectedValue) << text << " #" << i;
          }
        }
        if (type == XmlDocument::kNodeElement)
          doc.EnterElement();
      }
      EXPECT_GE(tags, 1) << text;
    }
  }
}
