#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/core/UIControl.h"

// An animation of pack images ("gif" = first|last|format, the format a printf pattern with one
// integer conversion), each frame drawn at its own size in the middle of the control.
// "startgif" starts a 10 ms control timer, "stopgif" stops it, "fresh" steps once; a step
// advances (wrapping) only while the control is shown and more than 30 ms after the last frame
// was drawn. With "autoshowhide" the control shows while running. A missing frame draws
// nothing. UI thread only; time comes from SystemClock().
class UIGif : public UIControl {
 public:
  static constexpr int kTimerIndex = 3;
  static constexpr UINT kTimerMs = 10;
  static constexpr uint64_t kFrameMs = 30;
  // Sequences longer than this are refused (a typo in a layout must not allocate without end).
  static constexpr int kMaxFrames = 4096;

  // UIControl:
  const char* GetClassName() const override { return "UIGif"; }
  bool ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  void Paint(Gdiplus::Graphics& graphics) override;
  void OnMessage(UIMessage& message) override;

  void Start();
  void Stop();
  void Step();
  const std::vector<std::wstring>& frames() const { return frames_; }
  size_t frame_index() const { return index_; }

 private:
  void SetFrames(const std::wstring& frames);

  std::vector<std::wstring> frames_;
  size_t index_ = 0;
  uint64_t lastDrawn_ = 0;
  bool drawnOnce_ = false;
  bool autoShowHide_ = false;
};

// Whether `format` holds exactly one integer conversion (flags, width and a d, i, u, x or X,
// no length or "*") besides "%%", so that formatting it with one int is safe.
bool IsSingleIntFormat(const std::wstring& format);
