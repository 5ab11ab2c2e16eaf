#include <gtest/gtest.h>

#include <set>
#include <string>

#include "xml/XmlDocument.h"
#include "xml/XmlEncodings.h"
#include "xml/XmlEntities.h"
#include "xml/XmlTableData.h"

namespace {

struct Entry {
  std::wstring name;
  int value;
  int bucket;
};

// Cuts every bucket of a table into its entries: `lengthDigits` digits of name length, then
// `valueDigits` digits of value, then the name.
std::vector<Entry> Entries(const wchar_t* const* buckets,
                           int count,
                           int lengthDigits,
                           int valueDigits) {
  std::vector<Entry> out;
  for (int b = 0; b < count; ++b) {
    std::wstring s = buckets[b];
    size_t i = 0;
    while (i < s.size()) {
      int length = std::stoi(s.substr(i, lengthDigits));
      int value = std::stoi(s.substr(i + lengthDigits, valueDigits));
      size_t nameAt = i + lengthDigits + valueDigits;
      out.push_back({s.substr(nameAt, length), value, b});
      i = nameAt + length;
    }
  }
  return out;
}

int BucketOf(const std::wstring& name, int count) {
  unsigned sum = 0;
  for (wchar_t c : name)
    sum += c;
  return static_cast<int>(sum % count);
}

TEST(XmlTables, EncodingTableHolds365LowerCaseNamesInTheirBuckets) {
  std::vector<Entry> entries = Entries(kEncodingBuckets, kEncodingBucketCount, 2, 5);
  EXPECT_EQ(entries.size(), 365u);
  std::set<std::wstring> names;
  for (const Entry& e : entries) {
    EXPECT_EQ(e.bucket, BucketOf(e.name, kEncodingBucketCount)) << e.name;
    EXPECT_TRUE(names.insert(e.name).second) << "listed twice: " << e.name;
    for (wchar_t c : e.name)
      EXPECT_FALSE(c >= L'A' && c <= L'Z') << e.name;
    // Every listed name is found again by the lookup.
    EXPECT_EQ(CodePageOfEncoding(e.name), e.value) << e.name;
  }
}

TEST(XmlTables, EntityTableHolds253EntriesUpperCaseFormFirst) {
  std::vector<Entry> entries = Entries(kEntityBuckets, kEntityBucketCount, 1, 4);
  EXPECT_EQ(entries.size(), 253u);
  for (const Entry& e : entries)
    EXPECT_EQ(e.bucket, BucketOf(e.name, kEntityBucketCount)) << e.name;
  // The two spellings of a name share one lower-case entry name; the one with capitals comes
  // first in its bucket.
  const struct {
    const wchar_t* name;
    int first;
    int second;
  } pairs[] = {
      {L"eacute", 201, 233}, {L"rarr", 8658, 8594},  {L"dagger", 8225, 8224},
      {L"yuml", 376, 255},   {L"prime", 8243, 8242}, {L"thorn", 222, 254},
  };
  for (const auto& pair : pairs) {
    std::vector<int> values;
    for (const Entry& e : entries) {
      if (e.name == pair.name)
        values.push_back(e.value);
    }
    EXPECT_EQ(values, (std::vector<int>{pair.first, pair.second})) << pair.name;
  }
  std::set<std::wstring> distinct;
  for (const Entry& e : entries)
    distinct.insert(e.name);
  EXPECT_EQ(entries.size() - distinct.size(), 64u);
}

TEST(XmlTables, CodePageOfEncoding) {
  const struct {
    const wchar_t* name;
    int page;
  } cases[] = {
      {L"utf-8", 65001},
      {L"UTF-8", 65001},
      {L"utf-16", 1200},
      {L"utf-16le", 1200},
      {L"unicode", 1200},
      {L"ucs-2", 1200},
      {L"utf-16be", 1201},
      {L"unicodeFFFE", 1201},
      {L"utf-7", 65000},
      {L"utf-32", 12000},
      {L"Utf-32", 12000},
      {L"UTF-32", kCodePageUtf32},
      {L"UTF-32BE", kCodePageUtf32},
      {L"us-ascii", 20127},
      {L"ascii", 20127},
      {L"iso-8859-1", 28591},
      {L"latin1", 28591},
      {L"windows-1252", 1252},
      {L"Windows-1251", 1251},
      {L"gb2312", 936},
      {L"GB2312", 936},
      {L"gbk", 936},
      {L"gb18030", 54936},
      {L"hz-gb-2312", 52936},
      {L"big5", 950},
      {L"shift_jis", 932},
      {L"x-sjis", 932},
      {L"ks_c_5601-1987", 949},
      {L"euc-kr", 51949},
      {L"euc-jp", 20932},
      {L"koi8-r", 20866},
      {L"iso-8859-8 visual", 28598},
      {L"", 0},
      {L"no-such-encoding", -1},
      {L"utf-8 ", -1},
      {L"utf8", -1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(XmlDocument::CodePageOfEncoding(c.name), c.page) << c.name;
  EXPECT_EQ(XmlDocument::CodePageOfEncoding(std::wstring(99, L'a')), -1);
  EXPECT_EQ(XmlDocument::CodePageOfEncoding(L"utf-8" + std::wstring(95, L' ')), -1);
}

TEST(XmlTables, FindDeclaredEncoding) {
  const struct {
    const wchar_t* text;
    const wchar_t* encoding;
  } cases[] = {
      {L"<?xml version=\"1.0\" encoding=\"GB2312\"?><a/>", L"GB2312"},
      {L"<?xml version='1.0' encoding='windows-1252' standalone='yes'?>", L"windows-1252"},
      {L"<?XML encoding = \"utf-8\" ?>", L"utf-8"},
      {L"<?xml version=\"1.0\"?><a encoding=\"x\"/>", L""},
      // A declaration cut by a partial read still gives its encoding.
      {L"<?xml version=\"1.0\" encoding=\"big5\"", L"big5"},
      // Only at offset 0, and only the target "xml".
      {L" <?xml version=\"1.0\" encoding=\"big5\"?>", L""},
      {L"<?xml-stylesheet encoding=\"big5\"?>", L""},
      {L"<!DOCTYPE html><!-- c --><html><head>"
       L"<meta name=\"x\" content=\"charset=wrong\">"
       L"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">",
       L"gb2312"},
      {L"<HTML><HEAD><META HTTP-EQUIV=\"content-type\" CONTENT=\"text/html;charset = big5\">",
       L"big5"},
      {L"<html><meta http-equiv='Content-Type' content='text/html; charset=utf-8'/></html>",
       L"utf-8"},
      // The search stops at the end of the head, at a malformed token, and when the first start
      // tag is not "html".
      {L"<html><head></head><meta http-equiv=\"Content-Type\" content=\"charset=big5\">", L""},
      {L"<html>< <meta http-equiv=\"Content-Type\" content=\"charset=big5\">", L""},
      {L"<body><meta http-equiv=\"Content-Type\" content=\"charset=big5\">", L""},
      {L"", L""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(XmlDocument::FindDeclaredEncoding(c.text), c.encoding) << c.text;
}

TEST(XmlTables, LookupEntityTellsLetterCasesApart) {
  const struct {
    const wchar_t* name;
    uint32_t point;
  } cases[] = {
      {L"Eacute", 201}, {L"eacute", 233}, {L"EACUTE", 201}, {L"rArr", 8658},
      {L"rarr", 8594},  {L"RARR", 8658},  {L"AMP", 38},     {L"apos", 39},
      {L"nbsp", 160},   {L"euro", 8364},  {L"diams", 9830}, {L"thetasym", 977},
      {L"THORN", 222},  {L"thorn", 254},  {L"bogus", 0},    {L"", 0},
  };
  for (const auto& c : cases) {
    std::wstring name = c.name;
    EXPECT_EQ(LookupXmlEntity(name.data(), name.size()), c.point) << c.name;
  }
}

}  // namespace
