#pragma once

#include <windows.h>

#include <string>

#include "sys/Handles.h"
#include "sys/ProgramEntry.h"
#include "tasks/IQuelmTask.h"
#include "ui/core/UIControl.h"
#include "ui/core/UIHostWnd.h"

class UIScrollVertView;

// One row of the program list: icon and name of a ProgramEntry. A left press raises "click"
// from the row itself before the usual handling, so the whole row acts as one button.
// The entry is borrowed from the dialog's list, which outlives the rows.
class UISoftListItem : public UIControl {
 public:
  UISoftListItem();
  ~UISoftListItem() override;

  // UIControl:
  void OnMessage(UIMessage& message) override;

  void set_entry(const ProgramEntry* entry) { entry_ = entry; }
  const ProgramEntry* entry() const { return entry_; }

 private:
  const ProgramEntry* entry_ = nullptr;
};

// The modal dialog in which the user chooses the object of a task: the program to run or to
// close, the files to open, the web addresses, the back-up sources and destination, or the
// title and text of a reminder. One of five pages shows, chosen by the task's action, filled
// from the task's object fields.
//
// The task is borrowed and must outlive the dialog. The dialog works on a copy: "idok" writes
// the object fields (name, param1, param2) into it and checks it with Validate(); a message
// keeps the dialog open, an empty one copies the three fields onto the task and ends the run
// with 1. Cancel, Escape and the close button end it with 0, and the task keeps what it held,
// even after a refused "idok".
//
// UI thread only; GDI+ must run. COM is initialised on the thread for the object's life (the
// folder picker and shortcut resolution need it). The program list is built while the window
// is created, so opening a program page blocks until discovery is done. The object owns its
// program entries; the rows point into them.
class SelectObjDlg : public UIHostWnd {
 public:
  static constexpr wchar_t kLayout[] = L"xml\\selectobjdlg.xml";

  explicit SelectObjDlg(IQuelmTask* task, const std::wstring& layoutPath = kLayout);
  ~SelectObjDlg() override;

  // The caller's entry point: builds the dialog owned by `owner`, centres it on the owner,
  // runs it modally (owner disabled) and destroys it. 1 when confirmed with a valid object,
  // 0 when cancelled, closed, or when the window could not be made.
  static int Run(HWND owner, IQuelmTask* task);

  // Makes exactly the page `id` visible among the five.
  void ShowPage(const std::wstring& id);
  // The "path" texts of the list's rows joined with "|"; "" for a missing list.
  static std::wstring JoinList(UIControl* list);

  const ProgramEntry* selected_program() const { return selectedProgram_; }
  const ProgramList& programs() const { return programs_; }

  // UIHostWnd:
  void OnInitialized() override;
  int OnEvent(UIEvent& event) override;
  SIZE GetMinSize() const override { return {0, 0}; }
  // Escape cancels, like "idcancel".
  bool HandleMessage(HWND hwnd,
                     UINT message,
                     WPARAM wparam,
                     LPARAM lparam,
                     LRESULT* result) override;

 private:
  void FillPrograms();
  void AddProgramRow(const ProgramEntry* entry);
  void AddListRow(UIScrollVertView* list, const std::wstring& text, const wchar_t* deleteId);
  void AddListRows(UIScrollVertView* list, const std::wstring& joined, const wchar_t* deleteId);
  void DeleteRowOf(UIControl* button, UIScrollVertView* list);
  void ShowProgram(const std::wstring& name, const std::wstring& path);
  void Confirm();
  std::wstring EditText(UIControl* edit) const;

  ScopedComInit com_;
  IQuelmTask* task_;  // not owned; written only by a confirmed, valid "idok"
  IQuelmTask draft_;  // what the pages show and "idok" fills
  UIScrollVertView* programList_ = nullptr;
  UIControl* paramEdit_ = nullptr;
  UIScrollVertView* fileList_ = nullptr;
  UIScrollVertView* urlList_ = nullptr;
  UIControl* urlEdit_ = nullptr;
  UIScrollVertView* backupList_ = nullptr;
  UIControl* backupEdit_ = nullptr;
  UIControl* titleEdit_ = nullptr;
  UIControl* contentEdit_ = nullptr;
  ProgramList programs_;
  const ProgramEntry* selectedProgram_ = nullptr;  // points into programs_
};
