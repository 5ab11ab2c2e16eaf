#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "sys/StringFormat.h"
#include "tests/support/TempDir.h"
#include "xml/XmlDocument.h"

namespace {

std::wstring Ansi(const std::string& bytes) {
  std::wstring out(bytes.size(), L'\0');
  int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), &out[0],
                              static_cast<int>(out.size()));
  out.resize(n);
  return out;
}

// A log entry with "encoding" and "length"; the length is {B} (bytes of the file), {C} (bytes
// of the converted text) or {T} (characters of the text), filled in by Expand().
std::wstring Entry(const wchar_t* entry, const wchar_t* encoding, const wchar_t* length) {
  return WFormat(L"<%ls encoding=\"%ls\" length=\"%ls\"/>", entry, encoding, length);
}

std::wstring Expand(std::wstring log, size_t b, size_t c, size_t t) {
  for (auto [key, value] :
       {std::pair<const wchar_t*, size_t>{L"{B}", b}, {L"{C}", c}, {L"{T}", t}}) {
    for (size_t at; (at = log.find(key)) != std::wstring::npos;)
      log.replace(at, 3, std::to_wstring(value));
  }
  return log;
}

std::string Utf16Le(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
  }
  return out;
}

std::string Utf32Le(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
    out.append(2, '\0');
  }
  return out;
}

TEST(XmlDocumentFile, LoadDetectsTheEncoding) {
  const std::string utf8Body = "<a>\xE4\xB8\xAD</a>";
  const struct {
    const char* what;
    std::string bytes;
    std::wstring text;
    std::wstring encoding;
    uint32_t flags;
    std::wstring log;
  } cases[] = {
      {"UTF-8 mark, no declaration", "\xEF\xBB\xBF" + utf8Body, L"<a>\x4E2D</a>", L"UTF-8",
       XmlDocument::kFlagUtf8Bom,
       L"<bom/>" + Entry(L"read", L"UTF-8", L"{B}") + Entry(L"converted_to", L"UTF-16", L"{T}")},
      {"starts with <: UTF-8 without the check", utf8Body, L"<a>\x4E2D</a>", L"UTF-8", 0,
       Entry(L"read", L"UTF-8", L"{B}") + Entry(L"converted_to", L"UTF-16", L"{T}")},
      {"valid UTF-8 found by the check", "\r\n" + utf8Body, L"\r\n<a>\x4E2D</a>", L"UTF-8", 0,
       Entry(L"read", L"UTF-8", L"{B}") + L"<utf8_detection/>" +
           Entry(L"converted_to", L"UTF-16", L"{T}")},
      {"invalid UTF-8 read as ANSI", "\r\n<a>caf\xE9</a>", L"\r\n" + Ansi("<a>caf\xE9</a>"), L"", 0,
       Entry(L"read", L"", L"{B}") + L"<utf8_detection/>" +
           Entry(L"converted_to", L"UTF-16", L"{T}")},
      {"UTF-16 little-endian mark", std::string("\xFF\xFE<\0a\0/\0>\0", 10), L"<a/>", L"UTF-16LE",
       XmlDocument::kFlagUtf16LittleEndian, L"<bom/>" + Entry(L"read", L"UTF-16LE", L"{B}")},
      {"UTF-16 big-endian mark", std::string("\xFE\xFF\0<\0a\0/\0>\x4E\x2D", 12), L"<a/>\x4E2D",
       L"UTF-16BE", XmlDocument::kFlagUtf16BigEndian,
       L"<bom/>" + Entry(L"read", L"UTF-16BE", L"{B}") + L"<endian_swap/>"},
      {"zero characters dropped", std::string("\xFF\xFE<\0\0\0a\0\0\0", 10), L"<a", L"UTF-16LE",
       XmlDocument::kFlagUtf16LittleEndian,
       L"<bom/>" + Entry(L"read", L"UTF-16LE", L"{B}") + L"<nulls_removed count=\"2\"/>"},
      {"declared GB2312", "<?xml version=\"1.0\" encoding=\"gb2312\"?><a>\xD6\xD0</a>",
       L"<?xml version=\"1.0\" encoding=\"gb2312\"?><a>\x4E2D</a>", L"gb2312", 0,
       Entry(L"read", L"gb2312", L"{B}") + Entry(L"converted_to", L"UTF-16", L"{T}")},
      {"unknown declared name: ANSI", "<?xml encoding=\"x-none\"?><a>\xE9</a>",
       L"<?xml encoding=\"x-none\"?>" + Ansi("<a>\xE9</a>"), L"x-none", 0,
       Entry(L"read", L"x-none", L"{B}") + Entry(L"converted_to", L"UTF-16", L"{T}")},
      {"HTML charset",
       "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
       "charset=big5\"></head>\xA4\xA4</html>",
       L"<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=big5\">"
       L"</head>\x4E2D</html>",
       L"big5", 0, L""},
      {"UTF-16 declared in 8-bit bytes: detected instead",
       "<?xml version=\"1.0\" encoding=\"UTF-16\"?><a>\xE4\xB8\xAD</a>",
       L"<?xml version=\"1.0\" encoding=\"UTF-16\"?><a>\x4E2D</a>", L"UTF-8", 0, L""},
      {"UTF-16 without mark", std::string("<\0?\0x\0m\0l\0?\0>\0<\0a\0/\0>\0", 22), L"<?xml?><a/>",
       L"UTF-16LE", XmlDocument::kFlagUtf16LittleEndian, L""},
      {"UTF-32 without mark", std::string("<\0\0\0a\0\0\0/\0\0\0>\0\0\0\0\xF6\x01\0", 20),
       L"<a/>\xD83D\xDE00", L"UTF-32", 0, L""},
  };
  TempDir dir;
  for (const auto& c : cases) {
    std::wstring path = dir.WriteFile(L"in.xml", c.bytes);
    XmlDocument doc;
    doc.SetDocFlags(XmlDocument::kFlagTrimWhitespace | XmlDocument::kFlagUtf16BigEndian);
    ASSERT_TRUE(doc.LoadFile(path)) << c.what;
    EXPECT_EQ(doc.GetDocumentText(), c.text) << c.what;
    EXPECT_EQ(doc.GetEncoding(), c.encoding) << c.what;
    // The file's flags replace the old ones; the others stay.
    EXPECT_EQ(doc.GetDocFlags(), c.flags | XmlDocument::kFlagTrimWhitespace) << c.what;
    if (!c.log.empty()) {
      EXPECT_EQ(doc.GetLog(), Expand(c.log, c.bytes.size(), 0, c.text.size())) << c.what;
    }
    // The same bytes from memory read exactly as from the file.
    XmlDocument fromBytes;
    fromBytes.SetDocFlags(XmlDocument::kFlagTrimWhitespace | XmlDocument::kFlagUtf16BigEndian);
    ASSERT_TRUE(fromBytes.LoadBytes(c.bytes)) << c.what;
    EXPECT_EQ(fromBytes.GetDocumentText(), doc.GetDocumentText()) << c.what;
    EXPECT_EQ(fromBytes.GetEncoding(), doc.GetEncoding()) << c.what;
    EXPECT_EQ(fromBytes.GetDocFlags(), doc.GetDocFlags()) << c.what;
    EXPECT_EQ(fromBytes.GetLog(), doc.GetLog()) << c.what;
  }
}

TEST(XmlDocumentFile, SequenceCutByTheEndOfTheFileIsLogged) {
  TempDir dir;
  XmlDocument doc;
  ASSERT_TRUE(doc.LoadFile(dir.WriteFile(L"cut.xml", "<a>\xE4\xB8")));
  EXPECT_EQ(doc.GetDocumentText().substr(0, 3), L"<a>");
  EXPECT_GT(doc.GetDocumentText().size(), 3u);  // the system's replacement character
  const std::wstring& log = doc.GetLog();
  const std::wstring last = L"<truncation_error encoding=\"UTF-8\"/>";
  ASSERT_GE(log.size(), last.size());
  EXPECT_EQ(log.substr(log.size() - last.size()), last);
}

// Reads are 1,024 bytes first, then larger pieces: a character cut at that border survives.
TEST(XmlDocumentFile, CharacterAcrossTheFirstReadSurvives) {
  const struct {
    const char* declaration;
    std::string character;
  } cases[] = {
      {"", "\xE4\xB8\xAD"},
      {"<?xml version=\"1.0\" encoding=\"gbk\"?>", "\xD6\xD0"},
  };
  TempDir dir;
  for (const auto& c : cases) {
    for (size_t cut = 1; cut < c.character.size(); ++cut) {
      std::string bytes = std::string(c.declaration) + "<a>";
      bytes.append(1024 - cut - bytes.size(), 'x');
      bytes += c.character + "</a>";
      XmlDocument doc;
      ASSERT_TRUE(doc.LoadFile(dir.WriteFile(L"cut.xml", bytes)));
      EXPECT_TRUE(doc.Parse()) << doc.GetLog();
      ASSERT_TRUE(doc.FindElement(L"a"));
      EXPECT_EQ(doc.GetContent().substr(1024 - cut - 3 - strlen(c.declaration)), L"\x4E2D")
          << c.declaration << " " << cut;
      EXPECT_EQ(doc.GetLog().find(L"truncation_error"), std::wstring::npos);
    }
  }
}

TEST(XmlDocumentFile, LargeFileReadsWhole) {
  std::string bytes = "<r>";
  while (bytes.size() < 3 * 1024 * 1024)
    bytes += "<i>\xE4\xB8\xAD\xE6\x96\x87 &amp; text</i>\r\n";
  bytes += "</r>";
  TempDir dir;
  XmlDocument doc;
  ASSERT_TRUE(doc.LoadFile(dir.WriteFile(L"big.xml", bytes)));
  EXPECT_EQ(doc.GetDocumentText(), Utf8ToWide(bytes));
  EXPECT_TRUE(doc.Parse());
}

TEST(XmlDocumentFile, MissingFileLogsTheSystemError) {
  TempDir dir;
  XmlDocument doc;
  doc.SetDocumentText(L"<old/>");
  EXPECT_FALSE(doc.LoadFile(dir.Child(L"absent.xml")));
  EXPECT_EQ(doc.GetDocumentText(), L"");
  EXPECT_FALSE(doc.FindElement());
  const std::wstring& log = doc.GetLog();
  EXPECT_EQ(log.compare(0, 17, L"<file_error msg=\""), 0) << log;
  EXPECT_NE(log.find(L"\" n=\"2\"/>"), std::wstring::npos) << log;
  EXPECT_EQ(log.find_first_of(L"\r\n"), std::wstring::npos);
  EXPECT_GT(log.size(), std::wstring(L"<file_error msg=\"\" n=\"2\"/>").size());
  EXPECT_FALSE(doc.SaveFile(dir.Child(L"no\\such\\folder.xml")));
  EXPECT_EQ(doc.GetLog().compare(0, 17, L"<file_error msg=\""), 0);
  EXPECT_EQ(doc.GetDocFlags() & (XmlDocument::kFlagReadFile | XmlDocument::kFlagWriteFile), 0u);
}

TEST(XmlDocumentFile, SaveWritesTheDeclaredEncoding) {
  const struct {
    const char* what;
    std::wstring text;
    uint32_t flags;
    std::string bytes;
    std::wstring log;
    uint32_t flagsAfter;
  } cases[] = {
      {"default UTF-8, no mark", L"<a>\x4E2D</a>", 0, "<a>\xE4\xB8\xAD</a>",
       Entry(L"converted_from", L"UTF-8", L"{C}") + Entry(L"write", L"UTF-8", L"{B}"), 0},
      {"UTF-8 mark on request", L"<a/>", XmlDocument::kFlagUtf8Bom, "\xEF\xBB\xBF<a/>",
       Entry(L"converted_from", L"UTF-8", L"{C}") + Entry(L"write", L"UTF-8", L"{B}"),
       XmlDocument::kFlagUtf8Bom},
      {"windows-1252 with a loss",
       L"<?xml version=\"1.0\" encoding=\"windows-1252\"?><a>\x00E9\x4E2D</a>",
       XmlDocument::kFlagUtf8Bom, "<?xml version=\"1.0\" encoding=\"windows-1252\"?><a>\xE9?</a>",
       Entry(L"converted_from", L"windows-1252", L"{C}") + L"<conversion_loss/>" +
           Entry(L"write", L"windows-1252", L"{B}"),
       XmlDocument::kFlagUtf8Bom},
      {"UTF-8 never reports a loss", L"<?xml encoding=\"utf-8\"?><a>\xD800</a>", 0,
       "<?xml encoding=\"utf-8\"?><a>\xEF\xBF\xBD</a>",
       Entry(L"converted_from", L"utf-8", L"{C}") + Entry(L"write", L"utf-8", L"{B}"), 0},
      {"UTF-16 little-endian", L"<a/>", XmlDocument::kFlagUtf16LittleEndian,
       std::string("\xFF\xFE<\0a\0/\0>\0", 10), Entry(L"write", L"UTF-16LE", L"{B}"),
       XmlDocument::kFlagUtf16LittleEndian},
      {"UTF-16 big-endian", L"<a/>", XmlDocument::kFlagUtf16BigEndian,
       std::string("\xFE\xFF\0<\0a\0/\0>", 10),
       L"<endian_swap/>" + Entry(L"write", L"UTF-16BE", L"{B}"), XmlDocument::kFlagUtf16BigEndian},
      {"declared UTF-16 gets its mark", L"<?xml encoding=\"UTF-16\"?><a/>", 0,
       "\xFF\xFE" + Utf16Le(L"<?xml encoding=\"UTF-16\"?><a/>"), Entry(L"write", L"UTF-16", L"{B}"),
       XmlDocument::kFlagUtf16LittleEndian},
      {"declared UTF-32", L"<?xml encoding=\"UTF-32\"?><a>\x4E2D</a>", 0,
       Utf32Le(L"<?xml encoding=\"UTF-32\"?><a>\x4E2D</a>"),
       Entry(L"converted_from", L"UTF-32", L"{C}") + Entry(L"write", L"UTF-32", L"{B}"), 0},
  };
  TempDir dir;
  for (const auto& c : cases) {
    XmlDocument doc;
    doc.SetDocumentText(c.text);
    doc.SetDocFlags(c.flags);
    std::wstring path = dir.Child(L"out.xml");
    ASSERT_TRUE(doc.SaveFile(path)) << c.what;
    EXPECT_EQ(ReadFileBytes(path), c.bytes) << c.what;
    size_t bodyLength = c.bytes.size();
    if (c.bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
      bodyLength -= 3;
    EXPECT_EQ(doc.GetLog(), Expand(c.log, c.bytes.size(), bodyLength, c.text.size())) << c.what;
    EXPECT_EQ(doc.GetDocFlags(), c.flagsAfter) << c.what;
    // What was written reads back as the same text.
    XmlDocument back;
    ASSERT_TRUE(back.LoadFile(path)) << c.what;
    if (c.log.find(L"conversion_loss") == std::wstring::npos &&
        c.text.find(L'\xD800') == std::wstring::npos) {
      EXPECT_EQ(back.GetDocumentText(), c.text) << c.what;
    }
  }
}

TEST(XmlDocumentFile, AppendWritesTheMarkOnlyIntoAnEmptyFile) {
  TempDir dir;
  std::wstring path = dir.Child(L"log.xml");
  XmlDocument doc;
  doc.SetDocumentText(L"<a/>");
  doc.SetDocFlags(XmlDocument::kFlagAppend | XmlDocument::kFlagUtf16LittleEndian);
  ASSERT_TRUE(doc.SaveFile(path));
  ASSERT_TRUE(doc.SaveFile(path));
  EXPECT_EQ(ReadFileBytes(path), std::string("\xFF\xFE<\0a\0/\0>\0<\0a\0/\0>\0", 18));
}

}  // namespace
