#pragma once

#include "sys/GdiplusApi.h"

// GDI+ started for this object's lifetime. Every GDI+ object must be gone before it ends.
class GdiplusSession {
 public:
  GdiplusSession();
  ~GdiplusSession();
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;

  bool ok() const { return token_ != 0; }
  // Whether any session is started now, in this process.
  static bool AnyRunning();

 private:
  ULONG_PTR token_ = 0;
};
