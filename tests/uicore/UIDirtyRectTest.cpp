#include "ui/core/UIDirtyRect.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct DirtyCase {
  const char* what;
  std::vector<RECT> invalidated;
  RECT pushed;
};

}  // namespace

TEST(UIDirtyRect, PushesTheUnionOfWhatWasInvalidatedInsideTheWindow) {
  const RECT client = {0, 0, 200, 100};
  const std::vector<DirtyCase> cases = {
      {"nothing", {}, {0, 0, 0, 0}},
      {"one label", {{20, 30, 80, 54}}, {20, 30, 80, 54}},
      {"two apart", {{20, 30, 80, 54}, {150, 5, 160, 15}}, {20, 5, 160, 54}},
      {"one inside another", {{10, 10, 90, 90}, {20, 20, 30, 30}}, {10, 10, 90, 90}},
      {"reaching out", {{-10, 90, 50, 130}}, {0, 90, 50, 100}},
      {"wholly outside", {{210, 0, 260, 50}, {0, -40, 10, -1}}, {0, 0, 0, 0}},
      {"outside, then inside", {{300, 300, 310, 310}, {5, 5, 6, 6}}, {5, 5, 6, 6}},
      {"empty rectangles", {{50, 50, 50, 60}, {70, 70, 80, 70}}, {0, 0, 0, 0}},
  };
  for (const DirtyCase& c : cases) {
    UIDirtyRect dirty;
    for (const RECT& r : c.invalidated)
      dirty.Add(r, client);
    EXPECT_EQ(dirty.IsEmpty(), IsRectEmpty(&c.pushed) != FALSE) << c.what;
    RECT pushed = dirty.Take(client);
    EXPECT_TRUE(EqualRect(&pushed, &c.pushed) || (IsRectEmpty(&pushed) && IsRectEmpty(&c.pushed)))
        << c.what << ": " << pushed.left << "," << pushed.top << "," << pushed.right << ","
        << pushed.bottom;
    EXPECT_TRUE(dirty.IsEmpty()) << c.what;
  }
}

TEST(UIDirtyRect, AWindowThatShrankPushesOnlyWhatIsLeftOfTheArea) {
  UIDirtyRect dirty;
  dirty.Add({100, 50, 190, 90}, {0, 0, 200, 100});
  RECT pushed = dirty.Take({0, 0, 120, 60});
  RECT expected = {100, 50, 120, 60};
  EXPECT_TRUE(EqualRect(&pushed, &expected));
}
