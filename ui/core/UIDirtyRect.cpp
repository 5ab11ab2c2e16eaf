#include "ui/core/UIDirtyRect.h"

bool UIDirtyRect::Add(const RECT& r, const RECT& client) {
  RECT inside;
  if (!IntersectRect(&inside, &r, &client))
    return false;
  bool wasEmpty = IsEmpty();
  if (wasEmpty)
    rect_ = inside;
  else
    UnionRect(&rect_, &rect_, &inside);
  return wasEmpty;
}

RECT UIDirtyRect::Take(const RECT& client) {
  RECT area = {};
  IntersectRect(&area, &rect_, &client);
  rect_ = {};
  return area;
}
