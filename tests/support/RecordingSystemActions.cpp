#include "tests/support/RecordingSystemActions.h"

#include <chrono>

namespace {

std::wstring BoolText(bool value) {
  return value ? L"true" : L"false";
}

}  // namespace

RecordingSystemActions::RecordingSystemActions() {
  previous_ = SetSystemActions(this);
}

RecordingSystemActions::~RecordingSystemActions() {
  SetSystemActions(previous_);
}

void RecordingSystemActions::ForwardHarmlessCalls(bool forward) {
  std::lock_guard<std::mutex> lock(mutex_);
  forward_ = forward;
}

void RecordingSystemActions::SetResult(bool result) {
  std::lock_guard<std::mutex> lock(mutex_);
  result_ = result;
}

void RecordingSystemActions::SetLaunchResult(LaunchResult result) {
  std::lock_guard<std::mutex> lock(mutex_);
  launchResultSet_ = true;
  launchResult_ = result;
}

LaunchResult RecordingSystemActions::RecordedLaunchResult() const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (launchResultSet_)
    return launchResult_;
  return result_ ? LaunchResult::Started : LaunchResult::Failed;
}

std::vector<RecordedCall> RecordingSystemActions::Calls() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return calls_;
}

std::vector<std::wstring> RecordingSystemActions::CallNames() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::wstring> names;
  for (const RecordedCall& call : calls_)
    names.push_back(call.name);
  return names;
}

void RecordingSystemActions::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  calls_.clear();
}

bool RecordingSystemActions::WaitForCalls(size_t count, DWORD timeoutMs) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return recorded_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                            [&] { return calls_.size() >= count; });
}

bool RecordingSystemActions::Record(std::wstring name, std::vector<std::wstring> args) {
  bool forward;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.push_back({std::move(name), std::move(args)});
    forward = forward_;
  }
  recorded_.notify_all();
  return forward;
}

bool RecordingSystemActions::EnablePrivilege(const std::wstring& name, bool enable) {
  Record(L"EnablePrivilege", {name, BoolText(enable)});
  std::lock_guard<std::mutex> lock(mutex_);
  return result_;
}

bool RecordingSystemActions::ExitSession(int kind) {
  Record(L"ExitSession", {std::to_wstring(kind)});
  std::lock_guard<std::mutex> lock(mutex_);
  return result_;
}

void RecordingSystemActions::LockWorkStation() {
  Record(L"LockWorkStation", {});
}

void RecordingSystemActions::Suspend() {
  Record(L"Suspend", {});
}

void RecordingSystemActions::MonitorOff() {
  Record(L"MonitorOff", {});
}

void RecordingSystemActions::MonitorOn() {
  Record(L"MonitorOn", {});
}

void RecordingSystemActions::EmptyRecycleBin() {
  Record(L"EmptyRecycleBin", {});
}

LaunchResult RecordingSystemActions::ShellRun(const std::wstring& file,
                                              const std::wstring& parameters,
                                              const std::wstring& directory,
                                              bool elevate,
                                              bool hidden) {
  if (Record(L"ShellRun", {file, parameters, directory, BoolText(elevate), BoolText(hidden)}))
    return real_.ShellRun(file, parameters, directory, elevate, hidden);
  return RecordedLaunchResult();
}

LaunchResult RecordingSystemActions::ShellOpen(const std::wstring& target) {
  if (Record(L"ShellOpen", {target}))
    return real_.ShellOpen(target);
  return RecordedLaunchResult();
}

void RecordingSystemActions::TerminateProgramByPath(const std::wstring& path) {
  if (Record(L"TerminateProgramByPath", {path}))
    real_.TerminateProgramByPath(path);
}
