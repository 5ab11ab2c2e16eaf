#include "tasks/TaskStore.h"

#include <tuple>
#include <unordered_set>
#include <utility>

#include "sys/Folders.h"
#include "sys/Guid.h"
#include "sys/PinnedFolder.h"
#include "sys/StringFormat.h"
#include "tasks/IQuelmTask.h"
#include "tasks/TaskManager.h"
#include "xml/XmlDocument.h"

namespace {

void AppendChild(XmlDocument& doc, const wchar_t* name, const std::wstring& content) {
  doc.AppendElement(name);
  doc.SetContent(content);
}

// A few tries over half a second: scanners usually hold a file only briefly.
constexpr int kReadAttempts = 5;
constexpr DWORD kReadRetryMs = 100;

// Copies an unreadable task file aside before the next save can replace it: the first free
// name of "task.xml.bad", "task.xml.bad2", ...; an earlier kept copy is never overwritten, and
// a file already kept with the same bytes is not kept twice. False when the file could not be
// read or copied.
bool KeepUnreadableFile(const PinnedFolder& folder, const std::wstring& name) {
  std::string bytes;
  if (!folder.Read(name, bytes))
    return false;
  for (int n = 1; n < 1000; ++n) {
    std::wstring aside = name + L".bad" + (n == 1 ? std::wstring() : std::to_wstring(n));
    if (!folder.Exists(aside))
      return folder.Create(aside, bytes);
    std::string kept;
    if (folder.Read(aside, kept) && kept == bytes)
      return true;
  }
  return false;
}

void ReadItem(XmlDocument& doc, IQuelmTask& task) {
  while (doc.FindNextNode()) {
    std::wstring name = doc.GetNodeName();
    if (name == L"guid")
      task.guid = doc.GetContent();
    else if (name == L"modul")
      task.mode = static_cast<ScheduleMode>(ParseDecimal(doc.GetContent()));
    else if (name == L"tag")
      task.action = static_cast<ActionKind>(ParseDecimal(doc.GetContent()));
    else if (name == L"date")
      ParseTaskDate(doc.GetContent(), task.time);
    else if (name == L"name")
      task.name = doc.GetContent();
    else if (name == L"param1")
      task.param1 = doc.GetContent();
    else if (name == L"param2")
      task.param2 = doc.GetContent();
    else if (name == L"pause")
      task.paused = doc.GetContent() == L"1";
    else if (name == L"week")
      task.week = static_cast<uint8_t>(ParseDecimal(doc.GetContent()) & kAllDays);
    else if (name == L"watch")
      task.watch = doc.GetContent();
  }
  if (task.week == 0)
    task.week = kWorkingDays;
}

}  // namespace

PendingSave::PendingSave() = default;
PendingSave::PendingSave(PendingSave&&) noexcept = default;
PendingSave& PendingSave::operator=(PendingSave&&) noexcept = default;
PendingSave::~PendingSave() = default;

TaskStore::TaskStore(std::wstring path) : path_(std::move(path)) {
  std::tie(folder_, name_) = SplitPath(path_);
}

bool TaskStore::FolderIsLink() const {
  return PinnedFolder(folder_).isLink();
}

void TaskStore::Load(TaskManager& manager) {
  const PinnedFolder folder(folder_);
  if (!folder.Exists(name_))
    return;
  std::string bytes;
  bool readable = folder.Read(name_, bytes);
  for (int attempt = 1; !readable && attempt < kReadAttempts && folder.Exists(name_); ++attempt) {
    Sleep(kReadRetryMs);
    readable = folder.Read(name_, bytes);
  }
  XmlDocument doc;
  if (!readable || !doc.LoadBytes(bytes) || !doc.Parse() || !doc.FindElement(L"cfg")) {
    if (folder.Exists(name_) && !KeepUnreadableFile(folder, name_)) {
      ScopedLock hold(writeLock_);
      keepAsidePending_ = true;
    }
    return;
  }
  doc.EnterElement();
  std::unordered_set<std::wstring> seen;
  // Every item starts from the same defaults; one without a GUID of its own gets a new one
  // (making a GUID for every item, to be overwritten by the stored one, costs more than the
  // rest of the reading).
  const IQuelmTask blank;
  while (doc.FindElement(L"item")) {
    IQuelmTask task(blank);
    doc.EnterElement();
    ReadItem(doc, task);
    doc.LeaveElement();
    // Every lookup goes by GUID, so a repeated one would let edits of this task hit the first.
    if (task.guid == blank.guid || !seen.insert(task.guid).second) {
      task.guid = NewGuidString();
      seen.insert(task.guid);
    }
    manager.AddTask(task, false);
  }
  doc.LeaveElement();
}

PendingSave TaskStore::PrepareSave(const std::vector<IQuelmTask*>& tasks) {
  PendingSave save;
  save.generation = nextGeneration_++;
  save.doc = std::make_unique<XmlDocument>();
  XmlDocument& doc = *save.doc;
  doc.AppendElement(L"cfg");
  doc.EnterElement();
  for (const IQuelmTask* task : tasks) {
    doc.AppendElement(L"item");
    doc.EnterElement();
    const SYSTEMTIME& t = task->time;
    AppendChild(doc, L"guid", task->guid);
    AppendChild(doc, L"modul", WFormat(L"%d", static_cast<int>(task->mode)));
    AppendChild(doc, L"tag", WFormat(L"%d", static_cast<int>(task->action)));
    AppendChild(doc, L"date",
                WFormat(L"%04d/%02d/%02d %02d:%02d:%02d", t.wYear, t.wMonth, t.wDay, t.wHour,
                        t.wMinute, t.wSecond));
    AppendChild(doc, L"path", L"");  // reserved: always written empty
    AppendChild(doc, L"name", task->name);
    AppendChild(doc, L"param1", task->param1);
    AppendChild(doc, L"param2", task->param2);
    AppendChild(doc, L"pause", WFormat(L"%d", task->paused ? 1 : 0));
    // Each only for the mode that uses it, so a file without them is written as before they
    // existed.
    if (task->mode == ScheduleMode::Weekly)
      AppendChild(doc, L"week", WFormat(L"%d", task->week));
    if (task->mode == ScheduleMode::Watch)
      AppendChild(doc, L"watch", task->watch);
    doc.LeaveElement();
  }
  doc.LeaveElement();
  return save;
}

bool TaskStore::CommitSave(PendingSave save) {
  if (!save.doc)
    return false;
  ScopedLock hold(writeLock_);
  if (save.generation < writtenGeneration_)
    return false;
  writtenGeneration_ = save.generation;
  const PinnedFolder folder(folder_);
  if (keepAsidePending_ && (!folder.Exists(name_) || KeepUnreadableFile(folder, name_)))
    keepAsidePending_ = false;
  // A document without a declaration is written as UTF-8 without a byte-order mark. The
  // replace is one rename of a flushed file: a crash leaves either the old list or the new one.
  return folder.Replace(keepAsidePending_ ? name_ + L".new" : name_,
                        WideToUtf8(save.doc->GetDocumentText()));
}

void ParseTaskDate(const std::wstring& text, SYSTEMTIME& time) {
  std::vector<std::wstring> halves = SplitList(text, L' ');
  if (halves.size() != 2)
    return;
  std::vector<std::wstring> date = SplitList(halves[0], L'/');
  if (date.size() == 3) {
    time.wYear = static_cast<WORD>(ParseDecimal(date[0]));
    time.wMonth = static_cast<WORD>(ParseDecimal(date[1]));
    time.wDay = static_cast<WORD>(ParseDecimal(date[2]));
  }
  std::vector<std::wstring> clock = SplitList(halves[1], L':');
  if (clock.size() == 3) {
    time.wHour = static_cast<WORD>(ParseDecimal(clock[0]));
    time.wMinute = static_cast<WORD>(ParseDecimal(clock[1]));
    time.wSecond = static_cast<WORD>(ParseDecimal(clock[2]));
  }
}
