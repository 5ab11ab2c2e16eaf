#include "ui/core/UIDirtyRect.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct DirtyCase {
  const char* what;
  std::vector<RECT> invalidated;
  RECT pushed;
  int asks;  // how many of the invalidations asked the system for a paint
};

}  // namespace

TEST(UIDirtyRect, PushesTheUnionOfWhatWasInvalidatedInsideTheWindow) {
  const RECT client = {0, 0, 200, 100};
  const std::vector<DirtyCase> cases = {
      {"nothing", {}, {0, 0, 0, 0}, 0},
      {"one label", {{20, 30, 80, 54}}, {20, 30, 80, 54}, 1},
      {"two apart", {{20, 30, 80, 54}, {150, 5, 160, 15}}, {20, 5, 160, 54}, 1},
      {"one inside another", {{10, 10, 90, 90}, {20, 20, 30, 30}}, {10, 10, 90, 90}, 1},
      {"reaching out", {{-10, 90, 50, 130}}, {0, 90, 50, 100}, 1},
      {"wholly outside", {{210, 0, 260, 50}, {0, -40, 10, -1}}, {0, 0, 0, 0}, 0},
      {"outside, then inside", {{300, 300, 310, 310}, {5, 5, 6, 6}}, {5, 5, 6, 6}, 1},
      {"empty rectangles", {{50, 50, 50, 60}, {70, 70, 80, 70}}, {0, 0, 0, 0}, 0},
  };
  for (const DirtyCase& c : cases) {
    UIDirtyRect dirty;
    int asks = 0;
    for (const RECT& r : c.invalidated)
      asks += dirty.Add(r, client) ? 1 : 0;
    EXPECT_EQ(asks, c.asks) << c.what;
    EXPECT_EQ(dirty.IsEmpty(), IsRectEmpty(&c.pushed) != FALSE) << c.what;
    RECT pushed = dirty.Take(client);
    EXPECT_TRUE(EqualRect(&pushed, &c.pushed) || (IsRectEmpty(&pushed) && IsRectEmpty(&c.pushed)))
        << c.what << ": " << pushed.left << "," << pushed.top << "," << pushed.right << ","
        << pushed.bottom;
    EXPECT_TRUE(dirty.IsEmpty()) << c.what;
    // Once taken, the next invalidation asks for a paint again.
    EXPECT_TRUE(dirty.Add({1, 1, 2, 2}, client)) << c.what;
  }
}

TEST(UIDirtyRect, AWindowThatShrankPushesOnlyWhatIsLeftOfTheArea) {
  UIDirtyRect dirty;
  dirty.Add({100, 50, 190, 90}, {0, 0, 200, 100});
  RECT pushed = dirty.Take({0, 0, 120, 60});
  RECT expected = {100, 50, 120, 60};
  EXPECT_TRUE(EqualRect(&pushed, &expected));
}
