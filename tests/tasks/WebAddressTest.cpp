#include "tasks/WebAddress.h"

#include <gtest/gtest.h>

TEST(WebAddress, OnlyWebAddressesAreOpenedAndABareHostGetsHttp) {
  struct Case {
    const wchar_t* piece;
    const wchar_t* opened;
  } cases[] = {
      {L"https://x/?q=a", L"https://x/?q=a"},
      {L"HTTP://Example.com/", L"HTTP://Example.com/"},
      {L"ftp://files.example.com/a.zip", L"ftp://files.example.com/a.zip"},
      {L"www.example.com/path?q=1", L"http://www.example.com/path?q=1"},
      {L"example.cn:8080", L"http://example.cn:8080"},
      {L"127.0.0.1/a", L"http://127.0.0.1/a"},
      {L"中文.example", L"http://中文.example"},
      // Programs, scripts, other schemes and what only looks like a host.
      {L"calc", L""},
      {L"C:\\x.bat", L""},
      {L"c:/x.bat", L""},
      {L"\\\\host\\share\\x.bat", L""},
      {L"file:///C:/x.bat", L""},
      {L"javascript:alert(1)", L""},
      {L"mailto:a@example.com", L""},
      {L"http:C:\\x.bat", L""},
      {L"ms-settings:", L""},
      {L"x.example.com:80a/", L""},
      {L"x..example.com", L""},
      {L"-x.example.com", L""},
      {L" https://x/", L""},
      {L"localhost:8080", L""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(AddressToOpen(c.piece), c.opened) << c.piece;
}

TEST(WebAddress, ATypedSeparatorIsWrittenAsItsEscape) {
  EXPECT_EQ(EscapeListSeparator(L"https://x/?q=a|b||c"), L"https://x/?q=a%7Cb%7C%7Cc");
  EXPECT_EQ(EscapeListSeparator(L"https://x/"), L"https://x/");
}
