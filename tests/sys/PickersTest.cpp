#include "sys/Pickers.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// A result buffer as the dialog leaves it: the pieces, each terminated, then zeros to `size`.
std::vector<wchar_t> DialogBuffer(const std::vector<std::wstring>& pieces,
                                  size_t size = kPickFilesBufferSize) {
  std::vector<wchar_t> buffer;
  for (const std::wstring& piece : pieces) {
    buffer.insert(buffer.end(), piece.begin(), piece.end());
    buffer.push_back(L'\0');
  }
  buffer.resize(std::max(size, buffer.size()), L'\0');
  return buffer;
}

}  // namespace

TEST(OpenFileResultToPaths, TurnsTheSelectionIntoFullPaths) {
  struct Case {
    std::vector<std::wstring> pieces;
    std::vector<std::wstring> expected;
  } cases[] = {
      {{L"C:\\docs\\a.txt"}, {L"C:\\docs\\a.txt"}},
      {{L"C:\\docs", L"a.txt", L"b c.txt", L"z.doc"},
       {L"C:\\docs\\a.txt", L"C:\\docs\\b c.txt", L"C:\\docs\\z.doc"}},
      {{L"C:\\docs", L"z.doc", L"a.txt"}, {L"C:\\docs\\z.doc", L"C:\\docs\\a.txt"}},
      {{L"D:\\", L"a.txt", L"b.txt"}, {L"D:\\a.txt", L"D:\\b.txt"}},
      {{L"\\\\server\\share\\dir", L"x"}, {L"\\\\server\\share\\dir\\x"}},
      {{}, {}},
  };
  for (const Case& c : cases) {
    std::vector<wchar_t> buffer = DialogBuffer(c.pieces);
    EXPECT_EQ(OpenFileResultToPaths(buffer.data(), buffer.size()), c.expected)
        << testing::PrintToString(c.pieces);
  }
}

TEST(OpenFileResultToPaths, NeverReadsPastTheBuffer) {
  // Full to the last character, without the final empty text.
  std::vector<wchar_t> full = DialogBuffer({L"C:\\d", L"a", L"bc"}, 0);
  full.pop_back();
  EXPECT_EQ(OpenFileResultToPaths(full.data(), full.size()),
            (std::vector<std::wstring>{L"C:\\d\\a", L"C:\\d\\bc"}));
  std::vector<wchar_t> single = {L'C', L':', L'\\', L'a'};
  EXPECT_EQ(OpenFileResultToPaths(single.data(), single.size()),
            std::vector<std::wstring>{L"C:\\a"});
  EXPECT_TRUE(OpenFileResultToPaths(single.data(), 0).empty());
}
