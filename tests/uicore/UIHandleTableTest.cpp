#include "ui/core/UIHandleTable.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

UIControl* Fake(int i) {
  return reinterpret_cast<UIControl*>(static_cast<uintptr_t>(0x1000 + i * 16));
}

}  // namespace

TEST(UIHandleTable, HandlesWrapPastZeroAndLiveOnesAndStaleOnesFindNothing) {
  UIHandleTable table(3);  // handles 1 to 7
  std::vector<uint32_t> h;
  for (int i = 0; i < 5; ++i)
    h.push_back(table.Add(Fake(i)));
  EXPECT_EQ(h, (std::vector<uint32_t>{1, 2, 3, 4, 5}));
  table.Remove(h[1], Fake(1));
  table.Remove(h[1], Fake(1));  // a dying control unregisters twice
  table.Remove(h[2], Fake(9));  // not its entry
  EXPECT_EQ(table.Find(h[1]), nullptr);
  EXPECT_EQ(table.Find(h[2]), Fake(2));
  EXPECT_EQ(table.Find(0), nullptr);
  // 6, 7, then round past 0 and the live 1 to the freed 2.
  EXPECT_EQ(table.Add(Fake(5)), 6u);
  EXPECT_EQ(table.Add(Fake(6)), 7u);
  EXPECT_EQ(table.Add(Fake(7)), 2u);
  EXPECT_EQ(table.Find(2), Fake(7));
  table.Remove(3, Fake(2));
  EXPECT_EQ(table.Add(Fake(8)), 3u);
  for (uint32_t k = 1; k <= 7; ++k)
    EXPECT_NE(table.Find(k), nullptr) << k;
}

TEST(UIHandleTable, ManyAddsAndRemovesKeepEveryLiveEntry) {
  UIHandleTable table;
  std::vector<std::pair<uint32_t, UIControl*>> live;
  for (int round = 0; round < 50; ++round) {
    for (int i = 0; i < 300; ++i) {
      UIControl* c = Fake(round * 1000 + i);
      live.emplace_back(table.Add(c), c);
    }
    // Remove every other one, oldest first, as trees are torn down.
    std::vector<std::pair<uint32_t, UIControl*>> kept;
    for (size_t i = 0; i < live.size(); ++i) {
      if (i % 2)
        kept.push_back(live[i]);
      else
        table.Remove(live[i].first, live[i].second);
    }
    live.swap(kept);
  }
  for (const auto& e : live)
    ASSERT_EQ(table.Find(e.first), e.second) << e.first;
  EXPECT_EQ(table.Find(live.back().first + 1), nullptr);
}
