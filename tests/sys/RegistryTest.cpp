#include "sys/Registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "sys/Guid.h"
#include "sys/Handles.h"

TEST(CheckRegistryString, AcceptsOnlyWholeTerminatedStrings) {
  struct Case {
    DWORD type;
    std::vector<wchar_t> data;
    DWORD byteCount;
    LONG result;
    DWORD capacity;  // after the call; 99 = untouched
  } cases[] = {
      {REG_SZ, {L'a', L'b', 0}, 6, ERROR_SUCCESS, 3},
      {REG_EXPAND_SZ, {L'%', L'x', L'%', 0}, 8, ERROR_SUCCESS, 4},
      {REG_SZ, {0}, 2, ERROR_SUCCESS, 1},
      {REG_SZ, {L'z'}, 0, ERROR_SUCCESS, 0},  // empty value: the buffer becomes ""
      {REG_SZ, {L'a', L'b', 0}, 5, ERROR_INVALID_DATA, 99},
      {REG_SZ, {L'a', L'b', 0}, 4, ERROR_INVALID_DATA, 99},  // not terminated
      {REG_SZ, {L'a'}, 1, ERROR_INVALID_DATA, 99},
      {REG_MULTI_SZ, {L'a', 0, 0}, 6, ERROR_INVALID_DATA, 99},
      {REG_DWORD, {L'a', 0}, 4, ERROR_INVALID_DATA, 99},
      {REG_BINARY, {0}, 0, ERROR_INVALID_DATA, 99},
  };
  for (Case& c : cases) {
    DWORD capacity = 99;
    EXPECT_EQ(CheckRegistryString(c.type, c.data.data(), c.byteCount, capacity), c.result)
        << c.type << " " << c.byteCount;
    EXPECT_EQ(capacity, c.capacity) << c.type << " " << c.byteCount;
    if (c.result == ERROR_SUCCESS) {
      EXPECT_EQ(c.data[c.capacity ? c.capacity - 1 : 0], L'\0');
    }
  }
}

// A key of its own under the current user, removed with everything in it afterwards.
class RegistryTest : public testing::Test {
 protected:
  void SetUp() override {
    subKey_ = L"Software\\QuelmTaskTest-" + NewGuidString();
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, subKey_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, key_.receive(), nullptr),
              ERROR_SUCCESS);
  }
  void TearDown() override {
    key_.reset();
    RegDeleteTreeW(HKEY_CURRENT_USER, subKey_.c_str());
  }

  void SetRaw(const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
    ASSERT_EQ(RegSetValueExW(key_.get(), name, 0, type, static_cast<const BYTE*>(data), bytes),
              ERROR_SUCCESS);
  }
  void SetText(const wchar_t* name, DWORD type, const std::wstring& text) {
    SetRaw(name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }

  std::wstring subKey_;
  ScopedRegKey key_;
};

// Wine terminates an unterminated string as it reads it, so only the table above covers that.
TEST_F(RegistryTest, ReadRegistryStringReadsTextsAndRejectsTheRest) {
  SetText(L"InstallDate", REG_SZ, L"20240131");
  SetText(L"Expand", REG_EXPAND_SZ, L"%TEMP%\\x");
  SetRaw(L"Empty", REG_SZ, nullptr, 0);
  SetRaw(L"Odd", REG_SZ, "abc", 3);
  DWORD number = 5;
  SetRaw(L"Number", REG_DWORD, &number, sizeof(number));
  SetText(L"Long", REG_SZ, std::wstring(300, L'l'));

  struct Case {
    const wchar_t* name;
    LONG result;
    const wchar_t* text;
    DWORD count;
  } cases[] = {
      {L"InstallDate", ERROR_SUCCESS, L"20240131", 9},
      {L"Expand", ERROR_SUCCESS, L"%TEMP%\\x", 9},  // not expanded
      {L"Empty", ERROR_SUCCESS, L"", 0},
      {L"Odd", ERROR_INVALID_DATA, nullptr, 0},
      {L"Number", ERROR_INVALID_DATA, nullptr, 0},
      {L"Long", ERROR_MORE_DATA, nullptr, 0},  // passed through from the query
      {L"Missing", ERROR_FILE_NOT_FOUND, nullptr, 0},
  };
  for (const Case& c : cases) {
    wchar_t buffer[260];
    std::fill(std::begin(buffer), std::end(buffer), L'#');
    DWORD capacity = 260;
    EXPECT_EQ(ReadRegistryString(key_.get(), c.name, buffer, capacity), c.result) << c.name;
    if (c.text) {
      EXPECT_STREQ(buffer, c.text) << c.name;
      EXPECT_EQ(capacity, c.count) << c.name;
    }
  }
}

TEST_F(RegistryTest, UnionIdIsTheDwordOrZero) {
  EXPECT_EQ(ReadUnionId(HKEY_CURRENT_USER, subKey_), 0u) << "no value yet";
  DWORD id = 4242;
  SetRaw(L"UnionId", REG_DWORD, &id, sizeof(id));
  EXPECT_EQ(ReadUnionId(HKEY_CURRENT_USER, subKey_), 4242u);
  EXPECT_EQ(ReadUnionId(HKEY_CURRENT_USER, subKey_ + L"\\missing"), 0u);
  SetText(L"UnionId", REG_SZ, L"a long text that does not fit four bytes");
  EXPECT_EQ(ReadUnionId(HKEY_CURRENT_USER, subKey_), 0u);
}
