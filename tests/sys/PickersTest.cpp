#include "sys/Pickers.h"

#include <gtest/gtest.h>

#include <dlgs.h>

#include <algorithm>
#include <thread>

#include "sys/Folders.h"
#include "sys/StringFormat.h"
#include "tests/support/TempDir.h"

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

namespace {

// A dialog that answers each opening from `answers` in turn: a choice of `files` names of 30
// characters in C:\d, or a cancel (files < 0). A buffer too small for the choice gets the
// dialog's answer: the size needed, cut to 16 bits, in its first character.
struct ScriptedDialog {
  std::vector<int> answers;
  std::vector<DWORD> sizes;  // the buffer of each opening
};
ScriptedDialog g_dialog;

bool OpenScripted(OPENFILENAMEW& dialog, DWORD& error) {
  const int files = g_dialog.answers.at(g_dialog.sizes.size());
  g_dialog.sizes.push_back(dialog.nMaxFile);
  error = 0;
  if (files < 0)
    return false;
  std::vector<std::wstring> pieces = {L"C:\\d"};
  for (int i = 0; i < files; ++i)
    pieces.push_back(std::wstring(26, L'f') + WFormat(L"%04d", i));
  std::vector<wchar_t> result = DialogBuffer(pieces, 0);
  result.push_back(L'\0');
  if (result.size() > dialog.nMaxFile) {
    dialog.lpstrFile[0] = static_cast<wchar_t>(result.size() & 0xFFFF);
    error = FNERR_BUFFERTOOSMALL;
    return false;
  }
  std::copy(result.begin(), result.end(), dialog.lpstrFile);
  return true;
}

}  // namespace

TEST(PickFiles, AChoiceTooLongForTheBufferOpensTheDialogAgainWithRoomForIt) {
  struct Case {
    std::vector<int> answers;
    size_t paths;
    size_t openings;
  } cases[] = {
      {{500}, 500, 1},
      {{1500, 1500}, 1500, 2},
      {{5000, 5000}, 5000, 2},  // 155,000 characters: the 16-bit size is cut
      {{5000, -1}, 0, 2},       // cancelled the second time
      {{-1}, 0, 1},
  };
  for (const Case& c : cases) {
    g_dialog = {c.answers, {}};
    std::vector<std::wstring> paths = PickFilesWith(nullptr, &OpenScripted);
    EXPECT_EQ(paths.size(), c.paths) << c.answers.front();
    EXPECT_EQ(g_dialog.sizes.size(), c.openings) << c.answers.front();
    if (!paths.empty()) {
      EXPECT_EQ(paths.back(), L"C:\\d\\" + std::wstring(26, L'f') + WFormat(L"%04d", c.paths - 1));
    }
  }
}

TEST(PickFiles, FiveHundredFilesComeBackFromTheRealDialog) {
  TempDir dir;
  std::wstring typed;
  for (int i = 0; i < 500; ++i) {
    const std::wstring name = WFormat(L"a file with a longer name %03d.txt", i);
    dir.WriteFile(name, "x");
    typed += L"\"" + name + L"\" ";
  }
  wchar_t previous[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, previous);
  SetCurrentDirectoryW(dir.path().c_str());  // where the dialog opens
  // What a user does: types the names into the dialog's name field and presses "Open".
  const DWORD ui = GetCurrentThreadId();
  std::thread user([ui, &typed] {
    for (int i = 0; i < 600; ++i) {
      HWND dialog = nullptr;
      EnumThreadWindows(
          ui,
          [](HWND hwnd, LPARAM out) -> BOOL {
            wchar_t name[16] = {};
            GetClassNameW(hwnd, name, 16);
            if (wcscmp(name, L"#32770") != 0 || !GetDlgItem(hwnd, cmb13))
              return TRUE;
            *reinterpret_cast<HWND*>(out) = hwnd;
            return FALSE;
          },
          reinterpret_cast<LPARAM>(&dialog));
      if (dialog) {
        SendMessageW(GetDlgItem(dialog, cmb13), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(typed.c_str()));
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        return;
      }
      Sleep(50);
    }
  });
  std::vector<std::wstring> paths = PickFiles(nullptr);
  user.join();
  SetCurrentDirectoryW(previous);
  ASSERT_EQ(paths.size(), 500u);
  EXPECT_TRUE(SamePath(paths[0], dir.Child(L"a file with a longer name 000.txt"))) << paths[0];
  EXPECT_TRUE(SamePath(paths[499], dir.Child(L"a file with a longer name 499.txt")));
}
