#include <winsock2.h>
// After winsock2.h, which must come first.
#include <windows.h>

#include <curl/curl.h>
#include <gtest/gtest.h>
#include <json/json.h>

#include <memory>

#include "app/NetworkLibrary.h"

// The program's third-party libraries are linked into it and work on the target.

TEST(Dependencies, CurlInitialisesWithEveryFeatureAndLoadsNoTlsStack) {
  ASSERT_EQ(curl_global_init(CURL_GLOBAL_ALL), CURLE_OK);
  curl_version_info_data* info = curl_version_info(CURLVERSION_NOW);
  ASSERT_NE(info, nullptr);
  // The program makes no transfers: a TLS backend would only load a TLS stack at start-up.
  EXPECT_EQ(info->features & CURL_VERSION_SSL, 0);
  curl_global_cleanup();
}

TEST(Dependencies, TheNetworkLibraryIsReadyForSocketsOnceAwaited) {
  EXPECT_TRUE(AwaitNetworkLibrary()) << "never started: nothing to wait for";
  StartNetworkLibrary();
  ASSERT_TRUE(AwaitNetworkLibrary());
  SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  EXPECT_NE(s, INVALID_SOCKET);
  closesocket(s);
  curl_global_cleanup();
}

TEST(Dependencies, JsoncppParsesAStyleTable) {
  const char text[] = R"({"btn": {"font": "16", "textcolor": "#ff60656f"}, "n": [1, 2]})";
  Json::CharReaderBuilder builder;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value root;
  std::string errors;
  ASSERT_TRUE(reader->parse(text, text + sizeof(text) - 1, &root, &errors)) << errors;
  EXPECT_EQ(root["btn"]["textcolor"].asString(), "#ff60656f");
  EXPECT_EQ(root["n"][1].asInt(), 2);
  const std::string broken = "{\"a\": ";
  EXPECT_FALSE(reader->parse(broken.data(), broken.data() + broken.size(), &root, &errors));
}
