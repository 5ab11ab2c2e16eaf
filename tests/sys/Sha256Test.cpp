#include <gtest/gtest.h>

#include <cstdio>

#include "sys/Sha256.h"

namespace {

std::string Hex(const std::array<uint8_t, 32>& digest) {
  std::string text;
  char two[3];
  for (uint8_t b : digest) {
    std::snprintf(two, sizeof(two), "%02x", b);
    text += two;
  }
  return text;
}

}  // namespace

TEST(Sha256, MatchesThePublishedTestVectors) {
  struct Case {
    std::string input;
    const char* digest;
  } cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1000, 'a') + std::string(1, '\0'),
       "8e047e94af2b183a25cfd0e46f0b77315a05232f5e92d60af255d1cd2066f965"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Hex(Sha256(c.input)), c.digest) << c.input.size();
}
