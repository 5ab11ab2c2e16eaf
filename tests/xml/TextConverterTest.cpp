#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "xml/TextConverter.h"
#include "xml/XmlEncodings.h"

namespace {

std::wstring DecodeWhole(int codePage, const std::string& bytes, bool* complete = nullptr) {
  ByteDecoder decoder(codePage);
  std::wstring out;
  decoder.Decode(bytes.data(), bytes.size(), &out);
  bool done = decoder.Finish(&out);
  if (complete)
    *complete = done;
  return out;
}

std::wstring DecodeInPieces(int codePage, const std::string& bytes, size_t piece) {
  ByteDecoder decoder(codePage);
  std::wstring out;
  for (size_t i = 0; i < bytes.size(); i += piece)
    decoder.Decode(bytes.data() + i, std::min(piece, bytes.size() - i), &out);
  EXPECT_TRUE(decoder.Finish(&out));
  return out;
}

const struct Sample {
  int codePage;
  const char* bytes;
  size_t length;
  const wchar_t* text;
} kSamples[] = {
    {65001, "a\xE4\xB8\xAD\xE6\x96\x87\xF0\x9F\x98\x80z", 12, L"a\x4E2D\x6587\xD83D\xDE00z"},
    {936, "a\xD6\xD0\xCE\xC4z", 6, L"a\x4E2D\x6587z"},
    {950, "\xA4\xA4\xA4\xE5", 4, L"\x4E2D\x6587"},
    {932, "x\x93\xFA\x96\x7B", 5, L"x\x65E5\x672C"},
    {1252, "caf\xE9", 4, L"caf\x00E9"},
    {1200, "a\0\x2D\x4E", 4, L"a\x4E2D"},
    {1201, "\0a\x4E\x2D", 4, L"a\x4E2D"},
    {12000, "a\0\0\0\0\xF6\x01\0", 8, L"a\xD83D\xDE00"},
    {12001, "\0\0\0a\0\x01\xF6\0", 8, L"a\xD83D\xDE00"},
    {kCodePageUtf32, "\0\xD8\0\0\x41\0\0\0", 8, L"?A"},
};

// However a file is cut into reads, the text comes out the same.
TEST(TextConverter, PiecesDecodeLikeTheWhole) {
  for (const Sample& s : kSamples) {
    std::string bytes(s.bytes, s.length);
    EXPECT_EQ(DecodeWhole(s.codePage, bytes), s.text) << s.codePage;
    for (size_t piece = 1; piece < bytes.size(); ++piece)
      EXPECT_EQ(DecodeInPieces(s.codePage, bytes, piece), s.text) << s.codePage << " " << piece;
  }
}

TEST(TextConverter, UnfinishedSequenceAtTheEndIsReported) {
  const struct {
    int codePage;
    std::string bytes;
  } cases[] = {
      {65001, "ab\xE4\xB8"},
      {936, "ab\xD6"},
      {1200, std::string("a\0b", 3)},
      {12000, std::string("a\0\0\0b\0", 6)},
  };
  for (const auto& c : cases) {
    bool complete = true;
    std::wstring text = DecodeWhole(c.codePage, c.bytes, &complete);
    EXPECT_FALSE(complete) << c.codePage;
    EXPECT_EQ(text.substr(0, 1), L"a") << c.codePage;
  }
}

TEST(TextConverter, ZeroCharactersOfUtf16AreDroppedAndCounted) {
  ByteDecoder decoder(1200);
  std::wstring out;
  std::string bytes("a\0\0\0b\0\0\0", 8);
  decoder.Decode(bytes.data(), bytes.size(), &out);
  EXPECT_TRUE(decoder.Finish(&out));
  EXPECT_EQ(out, L"ab");
  EXPECT_EQ(decoder.nullsRemoved(), 2u);
}

TEST(TextConverter, IncompleteTails) {
  const struct {
    bool gb18030;
    std::string bytes;
    size_t tail;
  } cases[] = {
      {false, "abc", 0},           {false, "a\xE4", 1},        {false, "a\xE4\xB8", 2},
      {false, "a\xE4\xB8\xAD", 0}, {false, "\xF0\x9F\x98", 3}, {false, "\x9F\x98", 0},
      {false, "a\xFF", 0},         {true, "a\x81", 1},         {true, "\x81\x40", 0},
      {true, "\x81\x30", 2},       {true, "\x81\x30\x88", 3},  {true, "\x81\x30\x88\x31", 0},
      {true, "\xA8\xA6\x81", 1},
  };
  for (const auto& c : cases) {
    auto* b = reinterpret_cast<const unsigned char*>(c.bytes.data());
    size_t tail = c.gb18030 ? Gb18030IncompleteTail(b, c.bytes.size())
                            : Utf8IncompleteTail(b, c.bytes.size());
    EXPECT_EQ(tail, c.tail) << (c.gb18030 ? "gb18030 " : "utf-8 ") << c.bytes;
  }
}

TEST(TextConverter, LooksLikeUtf8) {
  const struct {
    std::string bytes;
    bool utf8;
  } cases[] = {
      {"plain", true},
      {"\xE4\xB8\xAD\xF0\x9F\x98\x80", true},
      {"caf\xE9", false},
      {"\xC0\x80", false},
      {"\xE0\x80\x80", false},
      {"\xED\xA0\x80", false},
      {"\xF4\x90\x80\x80", false},
      {"\x80", false},
      {"\xE4\xB8", false},
      {std::string("ok\0\xFF", 4), true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(LooksLikeUtf8(c.bytes.data(), c.bytes.size()), c.utf8) << c.bytes;
}

// Whatever the bytes, the document's own decoding gives what the system's conversion gives.
TEST(TextConverter, DecodeUtf8MatchesTheSystem) {
  const std::string run(37, 'x');     // longer than the 16 bytes decoded at a time
  const std::string page(4095, 'y');  // the text is decoded 4,096 bytes at a time
  const std::string cases[] = {
      page + "\xE4\xB8\xAD" + run,
      page + run + "\xFF",
      "",
      "plain",
      run,
      run + "\xE4\xB8\xAD" + run + "\xC3\xA9" + run,
      "\xF0\x9F\x98\x80" + run + "\xEF\xBF\xBF",
      std::string("a\0b", 3),
      // Malformed: overlong forms, surrogates, beyond U+10FFFF, stray and missing
      // continuation bytes, cut at the end, bytes that never lead.
      run + "\xC0\x80" + run,
      "\xE0\x80\x80",
      "\xED\xA0\x80" + run,
      "\xF4\x90\x80\x80",
      run + "\x80",
      "\xE4\x41\xB8",
      run + "\xE4\xB8",
      "\xF5\xFF\xFE",
  };
  for (const std::string& bytes : cases) {
    std::wstring system(bytes.size(), L'\0');
    int n = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()),
                                system.data(), static_cast<int>(system.size()));
    system.resize(n > 0 ? n : 0);
    std::wstring ours = L"left over";
    EXPECT_TRUE(DecodeUtf8(bytes.data(), bytes.size(), &ours)) << bytes;
    EXPECT_EQ(ours, system) << bytes;
  }
}

TEST(TextConverter, EncodeText) {
  const struct {
    const wchar_t* text;
    int codePage;
    std::string bytes;
    bool lossy;
  } cases[] = {
      {L"caf\x00E9", 1252, "caf\xE9", false},
      {L"a\x4E2D", 1252, "a?", true},
      {L"a\x4E2D", 936, "a\xD6\xD0", false},
      {L"a\x4E2D", 65001, "a\xE4\xB8\xAD", false},
      {L"a\x4E2D", 1201, std::string("\0a\x4E\x2D", 4), false},
      {L"a\xD83D\xDE00", kCodePageUtf32, std::string("a\0\0\0\0\xF6\x01\0", 8), false},
      {L"\xDC00", 12001, std::string("\0\0\0?", 4), false},
  };
  for (const auto& c : cases) {
    bool lossy = !c.lossy;
    std::wstring text = c.text;
    EXPECT_EQ(EncodeText(text.data(), text.size(), c.codePage, &lossy), c.bytes) << c.codePage;
    EXPECT_EQ(lossy, c.lossy) << c.codePage;
  }
}

}  // namespace
