#include <gtest/gtest.h>

#include <string>

#include "tests/xml/XmlTestWalk.h"
#include "xml/XmlDocument.h"

namespace {

// After editing, the index must describe the text exactly as a fresh parse of it would.
void ExpectIndexMatchesReparse(XmlDocument& doc) {
  EXPECT_TRUE(doc.IsConsistent());
  doc.ResetPos();
  bool finished = false;
  std::wstring edited = WalkDocument(doc, 100000, &finished);
  EXPECT_TRUE(finished);
  EXPECT_EQ(edited, WalkText(doc.GetDocumentText(), doc.GetDocFlags()));
}

TEST(XmlDocumentEditing, TaskStoreDocumentFormat) {
  XmlDocument doc;
  ASSERT_TRUE(doc.AppendElement(L"cfg"));
  ASSERT_TRUE(doc.EnterElement());
  for (const wchar_t* guid : {L"G1", L"G2"}) {
    ASSERT_TRUE(doc.AppendElement(L"item"));
    ASSERT_TRUE(doc.EnterElement());
    const wchar_t* fields[][2] = {
        {L"guid", guid},  {L"modul", L"0"},
        {L"tag", L"0"},   {L"date", L"2024/05/01 23:00:00"},
        {L"path", L""},   {L"name", L"a<b & c"},
        {L"param1", L""}, {L"param2", L""},
        {L"pause", L"0"},
    };
    for (auto& field : fields) {
      ASSERT_TRUE(doc.AppendElement(field[0]));
      ASSERT_TRUE(doc.SetContent(field[1]));
    }
    ASSERT_TRUE(doc.LeaveElement());
  }
  ASSERT_TRUE(doc.LeaveElement());
  std::wstring item =
      L"<guid>%s</guid>\r\n<modul>0</modul>\r\n<tag>0</tag>\r\n<date>2024/05/01 23:00:00</date>\r\n"
      L"<path></path>\r\n<name>a&lt;b &amp; c</name>\r\n<param1></param1>\r\n<param2></param2>\r\n"
      L"<pause>0</pause>\r\n";
  std::wstring expected = L"<cfg>\r\n";
  for (const wchar_t* guid : {L"G1", L"G2"}) {
    std::wstring fields = item;
    fields.replace(fields.find(L"%s"), 2, guid);
    expected += L"<item>\r\n" + fields + L"</item>\r\n";
  }
  expected += L"</cfg>\r\n";
  EXPECT_EQ(doc.GetDocumentText(), expected);
  ExpectIndexMatchesReparse(doc);
}

TEST(XmlDocumentEditing, EmptyParentStaysSelfClosing) {
  XmlDocument doc;
  ASSERT_TRUE(doc.AppendElement(L"cfg"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.LeaveElement());
  EXPECT_EQ(doc.GetDocumentText(), L"<cfg/>\r\n");
  EXPECT_TRUE(doc.Parse());
}

TEST(XmlDocumentEditing, AppendElementData) {
  const struct {
    const wchar_t* data;
    int options;
    const wchar_t* text;
    const wchar_t* readBack;
  } cases[] = {
      {L"", 0, L"<e/>\r\n", L""},
      {L"a<b&c>", 0, L"<e>a&lt;b&amp;c&gt;</e>\r\n", L"a<b&c>"},
      {L"a&amp;b &x &#65;", XmlDocument::kAppendKeepReferences, L"<e>a&amp;b &amp;x &#65;</e>\r\n",
       L"a&b &x A"},
      {L"a]]>b", XmlDocument::kAppendCdata, L"<e><![CDATA[a]]]]><![CDATA[>b]]></e>\r\n", L"a]]>b"},
      {L"x", XmlDocument::kAppendNoLineBreak, L"<e>x</e>", L"x"},
      {L"a<b", XmlDocument::kAppendCdata | XmlDocument::kAppendNoLineBreak,
       L"<e><![CDATA[a<b]]></e>", L"a<b"},
  };
  for (const auto& c : cases) {
    XmlDocument doc;
    ASSERT_TRUE(doc.AppendElement(L"e", c.data, c.options)) << c.data;
    EXPECT_EQ(doc.GetDocumentText(), c.text) << c.data;
    EXPECT_EQ(doc.GetContent(), c.readBack) << c.data;
    ExpectIndexMatchesReparse(doc);
  }
}

TEST(XmlDocumentEditing, AppendElementPlacesTheElementAfterTheCursor) {
  const std::wstring start = L"<r>\r\n<a/>\r\n<!--n-->\r\n<c/>\r\n</r>";
  const struct {
    const wchar_t* after;  // element or "#comment" to stand on; empty: no current element
    const wchar_t* text;
  } cases[] = {
      {L"a", L"<r>\r\n<a/>\r\n<b/>\r\n<!--n-->\r\n<c/>\r\n</r>"},
      {L"#comment", L"<r>\r\n<a/>\r\n<!--n--><b/>\r\n\r\n<c/>\r\n</r>"},
      {L"c", L"<r>\r\n<a/>\r\n<!--n-->\r\n<c/>\r\n<b/>\r\n</r>"},
      {L"", L"<r>\r\n<a/>\r\n<!--n-->\r\n<c/>\r\n<b/>\r\n</r>"},
  };
  for (const auto& c : cases) {
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDocumentText(start));
    ASSERT_TRUE(doc.FindElement(L"r"));
    ASSERT_TRUE(doc.EnterElement());
    std::wstring after = c.after;
    if (after == L"#comment") {
      ASSERT_TRUE(doc.FindNextNode(XmlDocument::kNodeComment));
    } else if (!after.empty()) {
      ASSERT_TRUE(doc.FindElement(after));
    }
    ASSERT_TRUE(doc.AppendElement(L"b"));
    EXPECT_EQ(doc.GetDocumentText(), c.text) << c.after;
    EXPECT_EQ(doc.GetNodeName(), L"b");
    // The new element sits in sibling order: the next one is what followed the cursor.
    std::wstring next = doc.FindElement() ? doc.GetNodeName() : L"";
    EXPECT_EQ(next, after == L"a" || after == L"#comment" ? L"c" : L"") << c.after;
    ExpectIndexMatchesReparse(doc);
  }
}

TEST(XmlDocumentEditing, AppendElementRefusals) {
  XmlDocument doc;
  for (const wchar_t* name : {L"", L"1a", L"a b", L"a>", L"-x", L"a/"})
    EXPECT_FALSE(doc.AppendElement(name)) << name;
  doc.SetDocFlags(XmlDocument::kFlagReadFile);
  EXPECT_FALSE(doc.AppendElement(L"a"));
  EXPECT_FALSE(doc.SetDocumentText(L"<a/>"));
  EXPECT_EQ(doc.GetDocumentText(), L"");
}

TEST(XmlDocumentEditing, SetContentOfElements) {
  const struct {
    const wchar_t* text;
    const wchar_t* content;
    bool ok;
    const wchar_t* result;
  } cases[] = {
      {L"<a/>", L"x<y", true, L"<a>x&lt;y</a>"},
      {L"<a/>", L"", true, L"<a></a>"},
      {L"<a x='1' />", L"t", true, L"<a x='1'>t</a>"},
      {L"<a>old<!--c--><![CDATA[d]]></a >", L"new & \"q\"", true, L"<a>new &amp; \"q\"</a >"},
      {L"<a><b/></a>", L"t", false, L"<a><b/></a>"},
  };
  for (const auto& c : cases) {
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDocumentText(c.text));
    ASSERT_TRUE(doc.FindElement(L"a"));
    EXPECT_EQ(doc.SetContent(c.content), c.ok) << c.text;
    EXPECT_EQ(doc.GetDocumentText(), c.result) << c.text;
    if (c.ok) {
      EXPECT_EQ(doc.GetContent(), c.content);
    }
    ExpectIndexMatchesReparse(doc);
  }
  XmlDocument doc;
  ASSERT_TRUE(doc.SetDocumentText(L"<a/>"));
  ASSERT_TRUE(doc.FindElement(L"a"));
  doc.SetDocFlags(XmlDocument::kFlagReadFile);
  EXPECT_FALSE(doc.SetContent(L"x"));
}

TEST(XmlDocumentEditing, SetContentOfNodesKeepsTheirForm) {
  const std::wstring start = L"<r>t<!--c--><?p x?><![CDATA[d]]></l><e/></r>";
  const struct {
    int type;
    const wchar_t* content;
    bool ok;
    const wchar_t* result;
  } cases[] = {
      {XmlDocument::kNodeText, L"a<b", true, L"<r>a&lt;b<!--c--><?p x?><![CDATA[d]]></l><e/></r>"},
      {XmlDocument::kNodeComment, L" new- ", true,
       L"<r>t<!-- new- --><?p x?><![CDATA[d]]></l><e/></r>"},
      {XmlDocument::kNodeComment, L"a-->b", false, nullptr},
      {XmlDocument::kNodeProcessingInstruction, L"q y='1'", true,
       L"<r>t<!--c--><?q y='1'?><![CDATA[d]]></l><e/></r>"},
      {XmlDocument::kNodeProcessingInstruction, L"q?>", false, nullptr},
      {XmlDocument::kNodeCdata, L"<z>]", true, L"<r>t<!--c--><?p x?><![CDATA[<z>]]]></l><e/></r>"},
      {XmlDocument::kNodeCdata, L"a]]>b", false, nullptr},
      {XmlDocument::kNodeLoneEndTag, L"m", true, L"<r>t<!--c--><?p x?><![CDATA[d]]></m><e/></r>"},
  };
  for (const auto& c : cases) {
    XmlDocument doc;
    doc.SetDocumentText(start);
    ASSERT_TRUE(doc.FindElement(L"r"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_EQ(doc.FindNextNode(c.type), c.type);
    EXPECT_EQ(doc.SetContent(c.content), c.ok) << c.content;
    EXPECT_EQ(doc.GetDocumentText(), c.ok ? c.result : start) << c.content;
    if (c.ok) {
      EXPECT_EQ(doc.GetContent(), c.content);
    }
    // The element after the node moved with the text.
    ASSERT_TRUE(doc.FindElement(L"e"));
    EXPECT_EQ(doc.GetNodeName(), L"e");
    EXPECT_TRUE(doc.IsConsistent());
  }
}

TEST(XmlDocumentEditing, SetAttribute) {
  const struct {
    const wchar_t* text;
    const wchar_t* name;
    const wchar_t* value;
    bool ok;
    const wchar_t* result;
  } cases[] = {
      {L"<a/>", L"x", L"1", true, L"<a x=\"1\"/>"},
      {L"<a />", L"x", L"1", true, L"<a x=\"1\" />"},
      {L"<a x='old'>t</a>", L"x", L"new", true, L"<a x='new'>t</a>"},
      {L"<a x=\"1\" y=\"2\"/>", L"y", L"\"q' & <>", true,
       L"<a x=\"1\" y=\"&quot;q&apos; &amp; &lt;&gt;\"/>"},
      {L"<a x=bare/>", L"x", L"v", true, L"<a x=\"v\"/>"},
      {L"<a checked>t</a>", L"checked", L"v", true, L"<a checked=\"v\">t</a>"},
      {L"<a/>", L"1x", L"v", false, L"<a/>"},
      {L"<a/>", L"a b", L"v", false, L"<a/>"},
  };
  for (const auto& c : cases) {
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDocumentText(c.text));
    ASSERT_TRUE(doc.FindElement(L"a"));
    EXPECT_EQ(doc.SetAttribute(c.name, c.value), c.ok) << c.text;
    EXPECT_EQ(doc.GetDocumentText(), c.result) << c.text;
    if (c.ok) {
      EXPECT_EQ(doc.GetAttribute(c.name), c.value);
    }
    ExpectIndexMatchesReparse(doc);
  }
}

TEST(XmlDocumentEditing, SetAttributeMovesChildrenAndFollowers) {
  XmlDocument doc;
  ASSERT_TRUE(doc.SetDocumentText(L"<r><a><b>1</b></a><c>2</c></r>"));
  ASSERT_TRUE(doc.FindElement(L"r"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.FindElement(L"a"));
  ASSERT_TRUE(doc.SetAttribute(L"n", -42));
  EXPECT_EQ(doc.GetDocumentText(), L"<r><a n=\"-42\"><b>1</b></a><c>2</c></r>");
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.FindElement(L"b"));
  EXPECT_EQ(doc.GetContent(), L"1");
  ASSERT_TRUE(doc.LeaveElement());
  ASSERT_TRUE(doc.FindElement(L"c"));
  EXPECT_EQ(doc.GetContent(), L"2");
  ExpectIndexMatchesReparse(doc);
}

}  // namespace
