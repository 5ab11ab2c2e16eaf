#pragma once

#include <windows.h>

#include <memory>
#include <tuple>
#include <utility>

// A unit of work for the UI thread. The UI thread destroys a job after Run unless `keep` is set.
class ThreadTask {
 public:
  virtual ~ThreadTask() = default;
  virtual void Run() {}

  bool keep = false;
};

// A posted job: calls `fn(object)` on the UI thread. The job does not own `object`; a job that
// carries a reference-counted task drops that reference in `fn`.
template <class T, class Fn>
class ThreadTaskPost : public ThreadTask {
 public:
  ThreadTaskPost(T* object, Fn fn) : object_(object), fn_(std::move(fn)) {}
  void Run() override { fn_(object_); }

 private:
  T* object_;
  Fn fn_;
};

template <class T, class Fn>
std::unique_ptr<ThreadTask> MakePostJob(T* object, Fn fn) {
  return std::make_unique<ThreadTaskPost<T, Fn>>(object, std::move(fn));
}

// A sent job: calls `fn(values...)` on the UI thread with references to values the sender owns.
// Only ever sent, never posted, so the references outlive the call.
template <class Fn, class... Values>
class ThreadTaskTemp : public ThreadTask {
 public:
  ThreadTaskTemp(Fn fn, Values&... values) : fn_(std::move(fn)), values_(values...) {}
  void Run() override { std::apply(fn_, values_); }

 private:
  Fn fn_;
  std::tuple<Values&...> values_;
};

template <class Fn, class... Values>
std::unique_ptr<ThreadTask> MakeSendJob(Fn fn, Values&... values) {
  return std::make_unique<ThreadTaskTemp<Fn, Values...>>(std::move(fn), values...);
}

// The message that carries a job to the hand-off window.
constexpr UINT kRunJobMessage = 0x8065;

// Creates the hidden hand-off window on the calling thread, which becomes the UI thread. Call
// once at start-up, before any worker thread exists; does nothing when the window exists.
HWND CreateHandOffWindow();
// Destroys the hand-off window (at exit, and between tests). Call on the UI thread.
void DestroyHandOffWindow();
HWND HandOffWindow();

// Queues `job` for the UI thread and returns at once. Callable from any thread. Without a
// hand-off window the job is destroyed without running and false is returned.
bool PostToUiThread(std::unique_ptr<ThreadTask> job);
// Runs `job` on the UI thread and returns once it has run. Callable from any thread; the UI
// thread must never wait for a thread that may be sending. Without a hand-off window the job
// is destroyed without running and false is returned.
bool SendToUiThread(std::unique_ptr<ThreadTask> job);

// The hand-off window's procedure, exposed so that tests can register it on other windows.
LRESULT CALLBACK HandOffWndProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
