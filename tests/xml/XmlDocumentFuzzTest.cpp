// Robustness: thousands of damaged documents, each parsed, walked and edited. Nothing may
// crash, hang or leave the index out of step with the text. Seeded, so every run is the same.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "sys/StringFormat.h"
#include "tests/support/TempDir.h"
#include "tests/support/XmlMutator.h"
#include "tests/xml/XmlTestWalk.h"
#include "xml/XmlDocument.h"

namespace {

const wchar_t* const kSeeds[] = {
    L"<cfg>\r\n<item>\r\n<guid>0F2A</guid>\r\n<modul>1</modul>\r\n<tag>5</tag>\r\n"
    L"<date>2024/05/01 23:00:00</date>\r\n<path></path>\r\n<name>a &amp; b &lt;c&gt;</name>\r\n"
    L"<param1>\x63D0\x9192</param1>\r\n<param2></param2>\r\n<pause>0</pause>\r\n</item>\r\n"
    L"</cfg>\r\n",
    L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<Window size=\"800,552\" caption=\"0,0,0,36\">"
    L"<VLayout bkcolor=\"#FFFFFFFF\"><HLayout height=\"36\"><Label text=\"Quelm&#23450;\" "
    L"font=\"1\"/><Button name=\"close\" normalimage=\"file='close.png' source='0,0,20,20'\"/>"
    L"</HLayout><List name=\"tasks\" vscrollbar=\"true\"/></VLayout></Window>",
    L"<!DOCTYPE r [<!ENTITY e 'x>y'>]><r a='1' b=\"2\"><!-- c --><?pi t?>text<![CDATA[<raw>]]>"
    L"<e/><f>&#x1F600;&eacute;</f></r>",
    L"<Menu><Item text=\"&#28155;&#21152;\" id=\"1\"/><Separator/><Item text=\"exit\"/></Menu>",
};

// Moves the cursor around and edits at random, checking the index after every step.
void EditAtRandom(XmlDocument& doc, XmlMutator& m, const std::wstring& context) {
  for (int step = 0; step < 12; ++step) {
    switch (m.Below(10)) {
      case 0:
        doc.FindNextNode(XmlDocument::kNodeAny);
        break;
      case 1:
        doc.FindNextNode();
        break;
      case 2:
        doc.EnterElement();
        break;
      case 3:
        doc.LeaveElement();
        break;
      case 4:
        doc.FindElement(m.Below(2) ? std::wstring() : m.Name());
        break;
      case 5:
      case 6:
        doc.AppendElement(m.Name(), m.Below(2) ? std::wstring() : m.Text(),
                          static_cast<int>(m.Below(16)));
        break;
      case 7:
      case 8:
        doc.SetContent(m.Text());
        break;
      default:
        doc.SetAttribute(m.Name(), m.Text());
    }
    ASSERT_TRUE(doc.IsConsistent()) << context << "\nafter step " << step << ":\n"
                                    << WideToUtf8(doc.GetDocumentText());
  }
}

TEST(XmlDocumentFuzz, DamagedTextsParseWalkAndEditSafely) {
  XmlMutator m(20240501);
  int wellFormed = 0;
  const int rounds = 12000;
  for (int round = 0; round < rounds; ++round) {
    std::wstring text = m.Mutate(kSeeds[round % 4]);
    std::wstring context = L"round " + std::to_wstring(round);
    XmlDocument doc;
    doc.SetDocFlags(m.Below(4) == 0 ? uint32_t{XmlDocument::kFlagIgnoreCase} : 0u);
    bool ok = doc.SetDocumentText(text);
    wellFormed += ok;
    ASSERT_TRUE(doc.IsConsistent()) << WideToUtf8(text);
    bool finished = false;
    WalkDocument(doc, 20 * text.size() + 100, &finished);
    ASSERT_TRUE(finished) << WideToUtf8(text);
    ASSERT_TRUE(doc.IsConsistent()) << WideToUtf8(text);
    doc.ResetPos();
    EditAtRandom(doc, m, text);
    if (HasFatalFailure())
      return;
    // Edits of a well-formed document keep its index equal to what a parse of the result gives.
    if (ok) {
      doc.ResetPos();
      std::wstring edited = WalkDocument(doc, 20 * doc.GetDocumentText().size() + 100, &finished);
      ASSERT_EQ(edited, WalkText(doc.GetDocumentText(), doc.GetDocFlags()))
          << WideToUtf8(text) << "\nbecame\n"
          << WideToUtf8(doc.GetDocumentText());
    }
  }
  // The mutations must leave enough documents intact for the editing comparison to matter.
  EXPECT_GT(wellFormed, rounds / 10);
}

TEST(XmlDocumentFuzz, HostileShapes) {
  std::vector<std::wstring> texts;
  std::wstring deep;
  for (int i = 0; i < 20000; ++i)
    deep += (i % 3) ? L"<a>" : L"<b x='1'>";
  texts.push_back(deep);                    // never closed
  texts.push_back(deep + L"</c></a></b>");  // closed from the middle
  std::wstring attributes = L"<a";
  for (int i = 0; i < 3000; ++i)
    attributes += L" n" + std::to_wstring(i) + L"='" + std::to_wstring(i) + L"'";
  texts.push_back(attributes + L"/>");
  texts.push_back(attributes);  // unterminated
  texts.push_back(std::wstring(50000, L'<'));
  texts.push_back(std::wstring(50000, L'&'));
  std::wstring cdata;
  for (int i = 0; i < 5000; ++i)
    cdata += L"<![CDATA[]]]]>";
  texts.push_back(L"<r>" + cdata + L"</r>");
  texts.push_back(L"<r>" + std::wstring(30000, L'\xD800') + L"</r>");
  for (const std::wstring& text : texts) {
    XmlDocument doc;
    doc.SetDocumentText(text);
    EXPECT_TRUE(doc.IsConsistent());
    bool finished = false;
    WalkDocument(doc, 20 * text.size() + 100, &finished);
    EXPECT_TRUE(finished);
    if (doc.FindElement()) {
      std::wstring last;
      for (int i = 0; !(last = doc.GetAttributeName(i)).empty() && i < 5000; ++i) {
      }
      EXPECT_TRUE(doc.SetAttribute(L"n2999", L"v"));
      EXPECT_TRUE(doc.IsConsistent());
    }
  }
}

// Damaged bytes on disk: marks, declarations and invalid sequences of every encoding.
TEST(XmlDocumentFuzz, DamagedFilesLoad) {
  const std::string prefixes[] = {
      "",
      "\xEF\xBB\xBF",
      "\xFF\xFE",
      "\xFE\xFF",
      "<?xml version=\"1.0\" encoding=\"gbk\"?>",
      "<?xml version=\"1.0\" encoding=\"utf-16\"?>",
      "<?xml version=\"1.0\" encoding=\"UTF-32\"?>",
      "<?xml version=\"1.0\" encoding=\"utf-7\"?>",
      "<?xml version=\"1.0\" encoding=\"shift_jis\"?>",
      std::string("<\0\0\0", 4),
      std::string("<\0", 2),
  };
  TempDir dir;
  std::mt19937 random(99);
  for (int round = 0; round < 300; ++round) {
    std::string bytes = prefixes[round % (sizeof(prefixes) / sizeof(prefixes[0]))];
    size_t length = random() % 3000;
    for (size_t i = 0; i < length; ++i) {
      uint32_t r = random();
      bytes.push_back((r & 3) ? "<a>/&;\xE4\xB8\xAD\x81\x30\xFF\0"[(r >> 2) % 13]
                              : static_cast<char>(r >> 8));
    }
    std::wstring path = dir.WriteFile(L"fuzz.xml", bytes);
    XmlDocument doc;
    EXPECT_TRUE(doc.LoadFile(path)) << round;
    EXPECT_FALSE(doc.GetLog().empty());
    doc.Parse();
    EXPECT_TRUE(doc.IsConsistent()) << round;
    bool finished = false;
    WalkDocument(doc, 20 * doc.GetDocumentText().size() + 100, &finished);
    EXPECT_TRUE(finished) << round;
    // Whatever was read can be written back.
    EXPECT_TRUE(doc.SaveFile(dir.Child(L"back.xml"))) << round;
  }
}

}  // namespace
