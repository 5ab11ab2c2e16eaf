#include "ui/core/UIDirtyRect.h"

void UIDirtyRect::Add(const RECT& r, const RECT& client) {
  RECT inside;
  if (!IntersectRect(&inside, &r, &client))
    return;
  if (IsEmpty())
    rect_ = inside;
  else
    UnionRect(&rect_, &rect_, &inside);
}

RECT UIDirtyRect::Take(const RECT& client) {
  RECT area = {};
  IntersectRect(&area, &rect_, &client);
  rect_ = {};
  return area;
}
