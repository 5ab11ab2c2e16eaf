#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "sys/GdiplusSession.h"
#include "ui/core/ResLoaderMgr.h"
#include "ui/core/UIHostWnd.h"

// The program's packed skin (build/skin/skin.pk) as the process-wide loader, the basic controls
// registered, GDI+ running and the hand-off window on this thread, for the object's life.
class PopupTestEnv {
 public:
  PopupTestEnv();
  ~PopupTestEnv();
  PopupTestEnv(const PopupTestEnv&) = delete;
  PopupTestEnv& operator=(const PopupTestEnv&) = delete;

  bool loaded() const { return loaded_; }

 private:
  GdiplusSession gdiplus_;
  std::string pack_;
  ResLoaderMgr* loader_ = nullptr;
  bool loaded_ = false;
};

// The framework windows of this thread that are visible, in no particular order.
std::vector<UIHostWnd*> VisibleHostWindows();

// Runs the jobs posted to the UI thread and no other message. The windows they open are not
// mapped on the X server yet, so closing them skips Wine's wait for the unmapping.
void RunPostedJobs();
// A left click through the window's messages at the centre of the control `id`.
void ClickControl(UIHostWnd* host, const std::wstring& id);
// Delivers one tick of the root control's timer `index`.
void TickRootTimer(UIHostWnd* host, int index);
// The text of the control `id`; empty when there is none.
std::wstring ControlText(UIHostWnd* host, const std::wstring& id);
