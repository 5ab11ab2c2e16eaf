#include "sys/Guid.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <set>

TEST(NewGuidString, HasTheTaskIdentifierShape) {
  std::set<std::wstring> seen;
  for (int i = 0; i < 200; ++i) {
    std::wstring g = NewGuidString();
    ASSERT_EQ(g.size(), 36u) << i;
    for (size_t k = 0; k < g.size(); ++k) {
      if (k == 8 || k == 13 || k == 18 || k == 23) {
        ASSERT_EQ(g[k], L'-') << k;
        continue;
      }
      ASSERT_TRUE(iswxdigit(g[k])) << k;
      bool thirdGroup = k >= 14 && k < 18;
      if (thirdGroup)
        ASSERT_FALSE(iswupper(g[k])) << "third group is lower-case: " << k;
      else
        ASSERT_FALSE(iswlower(g[k])) << "other groups are upper-case: " << k;
    }
    seen.insert(g);
  }
  EXPECT_EQ(seen.size(), 200u);
}
