#include "ui/core/SkinPackIndex.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/uicore/PackBuilder.h"

namespace {

std::string Find(const SkinPackIndex& index, const std::wstring& path) {
  return index.ReadEntry(path);
}

// Every indexed entry must lie inside the pack; reading each one touches all of its bytes,
// which faults on the guard page when it does not.
void ExpectDirectoryInBounds(const SkinPackIndex& index, const GuardedBytes& pack) {
  for (const auto& [name, entry] : index.directory()) {
    ASSERT_LE(uint64_t(entry.offset) + entry.size, pack.size());
    if (FoldSkinPath(name) != name)
      continue;  // garbage names with capitals cannot be requested
    size_t size = 0;
    const uint8_t* p = index.FindEntry(name, &size);
    ASSERT_EQ(p, pack.data() + entry.offset);
    ASSERT_EQ(index.ReadEntry(name).size(), size);
  }
}

}  // namespace

TEST(FoldSkinPath, LowersOnlyAsciiLettersAndKeepsSeparators) {
  struct Case {
    const wchar_t* in;
    const wchar_t* out;
  } cases[] = {
      {L"IMG\\BTN\\BTNB.PNG", L"img\\btn\\btnb.png"},
      {L"Xml/Main.XML", L"xml/main.xml"},
      {L"\u00C4\u0130Z@[", L"\u00C4\u0130z@["},  // non-ASCII capitals and "@", "[" stay
      {L"", L""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FoldSkinPath(c.in), c.out) << c.in;
}

TEST(SkinPackIndex, LookupFoldsOnlyTheRequest) {
  BuiltPack built = BuildPack({{L"img\\btn\\btnb.png", "blue"},
                               {L"xml\\main.xml", "<UIWnd/>"},
                               {L"Img\\Mixed.png", "mixed"}});
  GuardedBytes pack(built.bytes);
  SkinPackIndex index;
  ASSERT_TRUE(index.LoadPack(pack.data(), pack.size()));

  struct Case {
    const wchar_t* request;
    const char* expected;  // null: absent
  } cases[] = {
      {L"img\\btn\\btnb.png", "blue"},
      {L"IMG\\BTN\\BTNB.PNG", "blue"},
      {L"Xml\\Main.Xml", "<UIWnd/>"},
      {L"img/btn/btnb.png", nullptr},  // separators are not rewritten
      {L"\\img\\btn\\btnb.png", nullptr},
      {L"img\\btn\\btnb.png ", nullptr},
      {L"Img\\Mixed.png", nullptr},  // stored names are not folded
      {L"img\\mixed.png", nullptr},
      {L"cssData.json", nullptr},
      {L"", nullptr},
  };
  for (const Case& c : cases) {
    size_t size = 99;
    const uint8_t* p = index.FindEntry(c.request, &size);
    if (!c.expected) {
      EXPECT_EQ(p, nullptr) << c.request;
      EXPECT_EQ(size, 0u) << c.request;
      EXPECT_EQ(Find(index, c.request), "") << c.request;
    } else {
      ASSERT_NE(p, nullptr) << c.request;
      EXPECT_EQ(std::string(reinterpret_cast<const char*>(p), size), c.expected) << c.request;
      EXPECT_EQ(Find(index, c.request), c.expected) << c.request;
    }
  }
}

TEST(SkinPackIndex, LastOfEqualNamesWins) {
  BuiltPack built =
      BuildPack({{L"img\\a.png", "first"}, {L"img\\b.png", "other"}, {L"img\\a.png", "second"}});
  GuardedBytes pack(built.bytes);
  SkinPackIndex index;
  EXPECT_TRUE(index.LoadPack(pack.data(), pack.size()));
  EXPECT_EQ(index.directory().size(), 2u);
  EXPECT_EQ(Find(index, L"img\\a.png"), "second");
  EXPECT_EQ(Find(index, L"img\\b.png"), "other");
}

TEST(SkinPackIndex, EmptyAndDegeneratePacksMissEverything) {
  const std::string countZero("\0\0\0\0", 4);
  const std::string countZeroWithTail = countZero + "trailing bytes";
  struct Case {
    const char* what;
    std::string bytes;
    bool consistent;
  } cases[] = {
      {"count 0", countZero, true},
      {"count 0 with trailing bytes", countZeroWithTail, true},
      {"shorter than the count", std::string("\0\0\0", 3), false},
      {"no bytes", std::string(), false},
  };
  for (const Case& c : cases) {
    GuardedBytes pack(c.bytes);
    SkinPackIndex index;
    EXPECT_EQ(index.LoadPack(pack.data(), pack.size()), c.consistent) << c.what;
    EXPECT_TRUE(index.directory().empty()) << c.what;
    size_t size = 1;
    EXPECT_EQ(index.FindEntry(L"img\\ico24.png", &size), nullptr) << c.what;
    EXPECT_EQ(size, 0u) << c.what;
  }
  SkinPackIndex none;
  EXPECT_FALSE(none.LoadPack(nullptr, 100));
  EXPECT_EQ(none.ReadEntry(L"xml\\main.xml"), "");
}

TEST(SkinPackIndex, LoadingAgainReplacesTheDirectory) {
  BuiltPack first = BuildPack({{L"xml\\a.xml", "a"}});
  BuiltPack second = BuildPack({{L"xml\\b.xml", "b"}});
  SkinPackIndex index;
  ASSERT_TRUE(index.LoadPack(first.bytes.data(), first.bytes.size()));
  ASSERT_TRUE(index.LoadPack(second.bytes.data(), second.bytes.size()));
  EXPECT_EQ(Find(index, L"xml\\a.xml"), "");
  EXPECT_EQ(Find(index, L"xml\\b.xml"), "b");
}

TEST(SkinPackIndex, EntriesKeepEmbeddedZerosAndMayBeEmpty) {
  BuiltPack built = BuildPack({{L"bin", std::string("\0a\0b", 4)}, {L"empty", ""}});
  GuardedBytes pack(built.bytes);
  SkinPackIndex index;
  ASSERT_TRUE(index.LoadPack(pack.data(), pack.size()));
  EXPECT_EQ(Find(index, L"bin"), std::string("\0a\0b", 4));
  size_t size = 7;
  // The last file is empty: its bytes start at the very end of the pack.
  EXPECT_EQ(index.FindEntry(L"empty", &size), pack.data() + pack.size());
  EXPECT_EQ(size, 0u);
  EXPECT_EQ(Find(index, L"empty"), "");
}

// One corrupted field at a time, with the entries that must keep answering.
TEST(SkinPackIndex, MalformedFieldsSkipEntriesOrCutTheDirectory) {
  const std::vector<PackFile> files = {{L"img\\one.png", "1111"},
                                       {L"img\\two.png", "22222222"},
                                       {L"xml\\three.xml", "<3/>"},
                                       {L"xml\\four.xml", "<4444/>"}};
  struct Case {
    const char* what;
    int entry;       // the entry whose record is changed
    size_t field;    // 0 name length, 1 offset, 2 size (relative to the record's fields)
    uint32_t value;  // new value; kEnd means "the pack size"
    std::vector<bool> answers;
  };
  const uint32_t kEnd = 0xEEEEEEEE;
  const Case cases[] = {
      {"odd name length", 1, 0, 25, {true, false, false, false}},
      {"name length past the end", 2, 0, 0x7FFFFFF0, {true, true, false, false}},
      {"name length reaching just past the end", 0, 0, kEnd, {false, false, false, false}},
      {"offset past the end", 1, 1, kEnd, {true, false, true, true}},
      {"offset wraps a 32-bit sum", 2, 1, 0xFFFFFFFE, {true, true, false, true}},
      {"size past the end", 3, 2, 0x10000, {true, true, true, false}},
      {"size ending one byte past the end", 3, 2, 8, {true, true, true, false}},
  };
  for (const Case& c : cases) {
    BuiltPack built = BuildPack(files);
    const size_t record = built.recordPos[c.entry];
    const size_t nameBytes = 2 * files[c.entry].name.size();
    const size_t pos = c.field == 0 ? record : record + 4 + nameBytes + 4 * (c.field - 1);
    PutU32(built.bytes, pos, c.value == kEnd ? uint32_t(built.bytes.size()) : c.value);

    GuardedBytes pack(built.bytes);
    SkinPackIndex index;
    EXPECT_FALSE(index.LoadPack(pack.data(), pack.size())) << c.what;
    ExpectDirectoryInBounds(index, pack);
    for (size_t i = 0; i < files.size(); ++i) {
      std::string expected = c.answers[i] ? files[i].bytes : std::string();
      EXPECT_EQ(Find(index, files[i].name), expected) << c.what << ", entry " << i;
    }
  }
}

TEST(SkinPackIndex, OverlappingEntriesBothAnswer) {
  BuiltPack built = BuildPack({{L"a", "abcdef"}, {L"b", "XYZ"}});
  // "b" now covers the middle of "a".
  const size_t bFields = built.recordPos[1] + 4 + 2;
  PutU32(built.bytes, bFields, uint32_t(built.dataPos[0] + 2));
  PutU32(built.bytes, bFields + 4, 3);
  GuardedBytes pack(built.bytes);
  SkinPackIndex index;
  EXPECT_TRUE(index.LoadPack(pack.data(), pack.size()));
  EXPECT_EQ(Find(index, L"a"), "abcdef");
  EXPECT_EQ(Find(index, L"b"), "cde");
}

// Thousands of corrupted packs, each in memory that ends at an inaccessible page: nothing may
// read past the pack, every indexed entry lies inside it, and untouched entries still answer.
TEST(SkinPackIndex, CorruptedPacksNeverReadOutsideAndKeepValidEntries) {
  std::mt19937 rng(20231116);
  auto pick = [&rng](uint32_t n) { return uint32_t(rng() % n); };

  std::vector<PackFile> files;
  for (int i = 0; i < 8; ++i) {
    std::wstring name = L"img\\f" + std::to_wstring(i) + L".png";
    std::string bytes(pick(40), '\0');
    for (char& b : bytes)
      b = char(rng());
    files.push_back({name, bytes});
  }

  enum Kind { kCountTooLarge, kOddName, kHugeName, kBadRange, kOverlap, kTruncate, kNoise };
  for (int iteration = 0; iteration < 4000; ++iteration) {
    BuiltPack built = BuildPack(files);
    const int kind = int(pick(7));
    const int e = int(pick(uint32_t(files.size())));
    const size_t fields = built.recordPos[e] + 4 + 2 * files[e].name.size();
    // Which entries must still answer with their own bytes; -1: no expectation.
    std::vector<int> answers(files.size(), 1);
    std::string overlapBytes;
    // Whether LoadPack must call the pack consistent: 1 yes, 0 no, -1 either.
    int consistent = -1;

    switch (kind) {
      case kCountTooLarge:
        PutU32(built.bytes, 0, pick(2) ? 0xFFFFFFFFu : uint32_t(files.size() + 1 + pick(500)));
        break;
      case kOddName:
      case kHugeName: {
        uint32_t length =
            kind == kOddName ? 2 * pick(200) + 1 : uint32_t(built.bytes.size()) + pick(1u << 30);
        PutU32(built.bytes, built.recordPos[e], length);
        for (size_t i = e; i < files.size(); ++i)
          answers[i] = 0;
        consistent = 0;
        break;
      }
      case kBadRange: {
        const uint32_t size = uint32_t(built.bytes.size());
        uint32_t offset = 0, length = 0;
        switch (pick(3)) {
          case 0:
            offset = size + pick(1000);
            length = pick(10);
            break;
          case 1:
            offset = pick(size);
            length = size - offset + 1 + pick(1000);
            break;
          default:
            offset = 0xFFFFFFFF - pick(16);
            length = 1 + pick(64);
            break;
        }
        PutU32(built.bytes, fields, offset);
        PutU32(built.bytes, fields + 4, length);
        answers[e] = 0;
        consistent = 0;
        break;
      }
      case kOverlap: {
        const uint32_t size = uint32_t(built.bytes.size());
        uint32_t offset = pick(size + 1);
        uint32_t length = pick(size - offset + 1);
        PutU32(built.bytes, fields, offset);
        PutU32(built.bytes, fields + 4, length);
        overlapBytes = built.bytes.substr(offset, length);
        answers[e] = 2;
        consistent = 1;
        break;
      }
      case kTruncate: {
        const size_t cut = pick(uint32_t(built.bytes.size()));
        bool cutOff = false;
        for (size_t i = 0; i < files.size(); ++i) {
          const size_t recordEnd = built.recordPos[i] + 4 + 2 * files[i].name.size() + 8;
          cutOff = cutOff || recordEnd > cut;
          answers[i] = !cutOff && built.dataPos[i] + files[i].bytes.size() <= cut;
        }
        built.bytes.resize(cut);
        consistent = 0;
        break;
      }
      case kNoise:
        for (uint32_t n = 1 + pick(8); n > 0; --n)
          built.bytes[pick(uint32_t(built.bytes.size()))] = char(rng());
        answers.assign(files.size(), -1);
        break;
    }

    GuardedBytes pack(built.bytes);
    SkinPackIndex index;
    const bool loaded = index.LoadPack(pack.data(), pack.size());
    if (consistent >= 0) {
      ASSERT_EQ(loaded, consistent == 1) << "iteration " << iteration << ", kind " << kind;
    }
    ExpectDirectoryInBounds(index, pack);
    for (size_t i = 0; i < files.size(); ++i) {
      if (answers[i] < 0)
        continue;
      std::string expected = answers[i] == 2 ? overlapBytes : answers[i] ? files[i].bytes : "";
      ASSERT_EQ(Find(index, files[i].name), expected)
          << "iteration " << iteration << ", kind " << kind << ", entry " << i;
    }
  }
}
