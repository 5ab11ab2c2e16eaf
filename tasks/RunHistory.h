#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sys/CriticalSection.h"

class IQuelmTask;

// What the run history writes as the result of an event.
inline constexpr wchar_t kRunDone[] = L"已执行";
inline constexpr wchar_t kRunCancelled[] = L"已取消";
inline constexpr wchar_t kRunPostponed[] = L"已推迟";
inline constexpr wchar_t kRunReminded[] = L"已提醒";
std::wstring FailedResult(const std::wstring& why);
std::wstring SkippedResult(const std::wstring& why);

// One recorded event, its fields as the file holds them.
struct HistoryEvent {
  std::wstring time;  // local "YYYY/MM/DD HH:MM:SS"
  std::wstring guid;
  std::wstring mode;  // the task's mode title
  std::wstring verb;  // the action's verb
  std::wstring object;
  std::wstring result;
};

// The record of what ran and when: "history.log" in the data folder, one UTF-8 line per event
// with the six fields of HistoryEvent separated by tabs (tabs and line breaks inside a field
// become spaces). The file is only ever replaced as a whole, through PinnedFolder: an event is
// the file read, the line added and the result put in place in one step. Only the newest kKeep
// events are kept: once the file passes kTrimAbove lines the trim is left to the UI thread when
// a hand-off window exists.
//
// Any thread. A recording thread does nothing but add its line; a history that cannot be read
// or written is not reported and changes nothing else.
class RunHistory {
 public:
  static constexpr size_t kKeep = 1000;
  static constexpr size_t kTrimAbove = 1200;

  explicit RunHistory(std::wstring path);
  RunHistory(const RunHistory&) = delete;
  RunHistory& operator=(const RunHistory&) = delete;

  // Appends the event of `task` at the current local time, then tells the listener.
  void Record(const IQuelmTask& task, const std::wstring& result);
  // The events of the file, newest first. `sequence`, when given, receives the number of the
  // last event recorded so far: every event the listener hears with a higher one is newer.
  std::vector<HistoryEvent> ReadNewestFirst(uint64_t* sequence = nullptr) const;
  // Empties the file.
  void Clear();
  // Keeps the newest kKeep lines when the file holds more than kTrimAbove.
  void TrimIfLong();

  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
  mutable CriticalSection lock_;
  uint64_t recorded_ = 0;  // events appended by this object; guarded by lock_
  std::atomic<bool> trimQueued_{false};
};

// The process's history, or null. Install it before the scheduler starts and remove it after
// the scheduler has stopped; the object must outlive its installation.
RunHistory* CurrentRunHistory();
RunHistory* SetRunHistory(RunHistory* history);
// Installs a history for its own lifetime, then restores the previous one.
class ScopedRunHistory {
 public:
  explicit ScopedRunHistory(RunHistory* history) : previous_(SetRunHistory(history)) {}
  ~ScopedRunHistory() { SetRunHistory(previous_); }
  ScopedRunHistory(const ScopedRunHistory&) = delete;
  ScopedRunHistory& operator=(const ScopedRunHistory&) = delete;

 private:
  RunHistory* previous_;
};
// Records into the installed history; nothing without one or for an empty `result`.
void RecordRun(const IQuelmTask& task, const std::wstring& result);

// Hears every event recorded while it is set, with its sequence number, on the UI thread (the
// history posts it there, so it may arrive after a read that already holds it). UI thread
// only; null removes it.
using HistoryListener = void (*)(const HistoryEvent& event, uint64_t sequence, void* context);
void SetHistoryListener(HistoryListener listener, void* context);
