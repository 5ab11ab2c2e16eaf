#include <gtest/gtest.h>

#include "app/Feedback.h"
#include "app/UpdateCheck.h"
#include "sys/OsVersion.h"
#include "tests/app/IdentityRegistry.h"

TEST(Feedback, UrlEncodingKeepsUnreservedBytesAndTurnsSpacesIntoPlus) {
  struct Case {
    std::string in;
    std::string out;
  } cases[] = {
      {"", ""},
      {"AZaz09-_.~", "AZaz09-_.~"},
      {"Windows 10 x64", "Windows+10+x64"},
      {"a+b c", "a%2Bb+c"},
      {"/?&=%#", "%2F%3F%26%3D%25%23"},
      {"\xE5\xAE\x9A", "%E5%AE%9A"},
      {std::string("\0\x7F\xFF", 3), "%00%7F%FF"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(UrlEncode(c.in), c.out) << c.in;
}

TEST(Feedback, AddressCarriesTitleVersionIdsAndSystem) {
  Identity identity;
  identity.version = L"1.2.3.4";
  identity.unionId = 1001;
  EXPECT_EQ(BuildFeedbackUrl(identity, L"Windows 10 x64"),
            L"http://feedback.quelm.example.com/"
            L"?appname=Quelm%E5%AE%9A%E6%97%B6%E4%BB%BB%E5%8A%A1&version=1.2.3.4&appid=105"
            L"&unionid=1001&osinfo=Windows+10+x64");
  EXPECT_EQ(BuildUpdateCheckUrl(identity),
            "https://update.quelm.example.com/?ct=api&ac=updatecheck&version=1.2.3.4&appid=105"
            "&unionid=1001");
}

TEST(Feedback, WithoutRegistryValuesBothAddressesSay1001) {
  ScopedIdentityRegistry registry;
  Identity identity = ReadIdentity();
  std::wstring feedback = BuildFeedbackUrl(identity, GetOsVersionText());
  EXPECT_NE(feedback.find(L"&unionid=1001&osinfo=Windows+"), std::wstring::npos) << feedback;
  EXPECT_EQ(feedback.find(L' '), std::wstring::npos) << feedback;
  std::string update = BuildUpdateCheckUrl(identity);
  EXPECT_EQ(update.substr(update.size() - 13), "&unionid=1001") << update;
  EXPECT_NE(update.find("&version=0.0.0.0&appid=105"), std::string::npos) << update;
}
