#pragma once

#include "tasks/IQuelmTask.h"
#include "ui/core/UIHostWnd.h"

class TaskManager;

// The ten-second confirmation before a shutdown or restart task ends the session. The user can
// cancel ("idcancel", "btnclose"), confirm at once ("idok"), put it off for ten minutes
// ("idpostpone"), or stop the count by moving the mouse more than 10 pixels from where it first
// showed up over the window, once the first second has passed; a stopped count waits for a
// button. Each ending is written to the run history. Not modal.
//
// Top-most. A confirmation opened while others are open takes the first place, from the centre
// in steps of 30 pixels right and down, where none stands, inside the work area. UI thread only.
// Keeps its own copy of the task. Created with `new` and Open; the object deletes itself when its
// window is gone. A failure of the session end is not reported.
class ShutdownTips : public UIHostWnd {
 public:
  static constexpr int kTimerIndex = 10;
  static constexpr int kSeconds = 10;

  explicit ShutdownTips(const IQuelmTask& task);

  // Creates the window owned by `owner` (may be null), centred or cascaded over the open ones;
  // "idpostpone" asks `postponer` (may be null). On failure the object is deleted and null
  // answered.
  static ShutdownTips* Open(const IQuelmTask& task, HWND owner, TaskManager* postponer = nullptr);

  int SecondsLeft() const { return secondsLeft_; }

  // UIHostWnd:
  void OnInitialized() override;
  void OnTimer(int index) override;
  int OnEvent(UIEvent& event) override;
  bool HandleMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                     LRESULT* result) override;
  void OnFinalMessage(HWND hwnd) override;

 private:
  ~ShutdownTips() override = default;

  void CascadeOverOthers();
  void UpdateTips();
  void EndSession();
  void StopCounting();

  IQuelmTask task_;
  TaskManager* postponer_ = nullptr;
  int secondsLeft_ = kSeconds;
  POINT mouseStart_ = {};
  bool mouseSeen_ = false;
};
