#include "tasks/RunHistory.h"

#include <algorithm>
#include <utility>

#include "sys/Clock.h"
#include "sys/Folders.h"
#include "sys/HandOff.h"
#include "sys/PinnedFolder.h"
#include "sys/StringFormat.h"
#include "tasks/IQuelmTask.h"

namespace {

std::atomic<RunHistory*> g_history{nullptr};
// UI thread only.
HistoryListener g_listener = nullptr;
void* g_listenerContext = nullptr;

std::wstring Flatten(std::wstring text) {
  std::replace_if(
      text.begin(), text.end(), [](wchar_t c) { return c == L'\t' || c == L'\r' || c == L'\n'; },
      L' ');
  return text;
}

std::string FormatLine(const HistoryEvent& e) {
  std::wstring line;
  for (const std::wstring* field : {&e.time, &e.guid, &e.mode, &e.verb, &e.object}) {
    line += Flatten(*field);
    line += L'\t';
  }
  line += Flatten(e.result);
  line += L'\n';
  return WideToUtf8(line);
}

HistoryEvent ParseLine(const std::wstring& line) {
  std::vector<std::wstring> fields = SplitList(line, L'\t');
  fields.resize(6);
  return {fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]};
}

size_t CountLines(const std::string& bytes) {
  return static_cast<size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
}

// The file's bytes, empty for a missing file; false when it is there but cannot be read, so that
// it is never rewritten from nothing.
bool ReadHistoryFile(const std::wstring& path, std::string& bytes) {
  const auto [folder, name] = SplitPath(path);
  return PinnedFolder(folder).ReadIfThere(name, bytes);
}

// The one place the file is written: replaced as a whole, never appended to in place.
bool ReplaceHistoryFile(const std::wstring& path, const std::string& bytes) {
  const auto [folder, name] = SplitPath(path);
  return PinnedFolder(folder).Replace(name, bytes);
}

void TellListener(HistoryEvent event, uint64_t sequence) {
  PostToUiThread(
      MakePostJob(static_cast<void*>(nullptr), [event = std::move(event), sequence](void*) {
        if (g_listener)
          g_listener(event, sequence, g_listenerContext);
      }));
}

}  // namespace

std::wstring FailedResult(const std::wstring& why) {
  return L"失败：" + why;
}

std::wstring SkippedResult(const std::wstring& why) {
  return L"已跳过：" + why;
}

RunHistory::RunHistory(std::wstring path) : path_(std::move(path)) {}

void RunHistory::Record(const IQuelmTask& task, const std::wstring& result) {
  const SYSTEMTIME t = SystemClock().LocalTime();
  HistoryEvent event = {WFormat(L"%04d/%02d/%02d %02d:%02d:%02d", t.wYear, t.wMonth, t.wDay,
                                t.wHour, t.wMinute, t.wSecond),
                        task.guid,
                        task.ModeTitle(),
                        task.ActionVerb(),
                        task.ActionObjectText(),
                        result};
  const std::string line = FormatLine(event);
  bool trim = false;
  uint64_t sequence = 0;
  {
    ScopedLock hold(lock_);
    std::string bytes;
    if (!ReadHistoryFile(path_, bytes) || !ReplaceHistoryFile(path_, bytes + line))
      return;
    sequence = ++recorded_;
    trim = CountLines(bytes) + 1 > kTrimAbove && !trimQueued_.exchange(true);
  }
  // Trimming is the UI thread's, so that a recording thread only ever adds its own line.
  if (trim && !PostToUiThread(MakePostJob(static_cast<void*>(nullptr), [](void*) {
        if (RunHistory* history = CurrentRunHistory())
          history->TrimIfLong();
      })))
    TrimIfLong();
  TellListener(std::move(event), sequence);
}

std::vector<HistoryEvent> RunHistory::ReadNewestFirst(uint64_t* sequence) const {
  std::string bytes;
  {
    ScopedLock hold(lock_);
    ReadHistoryFile(path_, bytes);
    if (sequence)
      *sequence = recorded_;
  }
  std::vector<HistoryEvent> events;
  for (const std::wstring& line : SplitList(Utf8ToWide(bytes), L'\n')) {
    if (!line.empty())
      events.push_back(ParseLine(line));
  }
  std::reverse(events.begin(), events.end());
  return events;
}

void RunHistory::Clear() {
  ScopedLock hold(lock_);
  ReplaceHistoryFile(path_, std::string());
}

void RunHistory::TrimIfLong() {
  ScopedLock hold(lock_);
  trimQueued_ = false;
  std::string bytes;
  if (!ReadHistoryFile(path_, bytes))
    return;
  size_t lines = CountLines(bytes);
  if (lines <= kTrimAbove)
    return;
  // The line break that ends the line before the newest kKeep.
  size_t cut = bytes.size();
  for (size_t seen = 0; cut > 0 && seen < kKeep;) {
    --cut;
    if (bytes[cut] == '\n' && cut + 1 < bytes.size())
      ++seen;
  }
  bytes.erase(0, cut + 1);
  ReplaceHistoryFile(path_, bytes);
}

RunHistory* CurrentRunHistory() {
  return g_history;
}

RunHistory* SetRunHistory(RunHistory* history) {
  return g_history.exchange(history);
}

void RecordRun(const IQuelmTask& task, const std::wstring& result) {
  RunHistory* history = g_history;
  if (history && !result.empty())
    history->Record(task, result);
}

void SetHistoryListener(HistoryListener listener, void* context) {
  g_listener = listener;
  g_listenerContext = context;
}
