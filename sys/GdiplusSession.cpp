#include "sys/GdiplusSession.h"

#include <atomic>

namespace {
std::atomic<int> g_running{0};
}

GdiplusSession::GdiplusSession() {
  Gdiplus::GdiplusStartupInput input;
  if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok)
    token_ = 0;
  else
    ++g_running;
}

GdiplusSession::~GdiplusSession() {
  if (token_) {
    --g_running;
    Gdiplus::GdiplusShutdown(token_);
  }
}

bool GdiplusSession::AnyRunning() {
  return g_running > 0;
}
