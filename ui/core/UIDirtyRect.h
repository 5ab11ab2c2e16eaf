#pragma once

#include <windows.h>

// The part of a window's client area still to be painted: the union of what was invalidated
// since the last paint, kept inside the client area. An empty area is painted and pushed to the
// screen not at all. Plain data; UI thread only.
class UIDirtyRect {
 public:
  // Adds `r` as far as it lies inside `client`.
  void Add(const RECT& r, const RECT& client);
  bool IsEmpty() const { return IsRectEmpty(&rect_) != FALSE; }
  const RECT& rect() const { return rect_; }
  // The area as far as it lies inside `client` (the window may have shrunk meanwhile), leaving
  // it empty.
  RECT Take(const RECT& client);

 private:
  RECT rect_ = {};
};
