#pragma once

struct Settings;
class TaskManager;
class WakeScheduler;

// The program's process-wide objects, reached by the main window and the pages through
// CurrentApp() instead of globals of their own.
//
// Start-up installs the context on the UI thread once the settings are loaded and the task
// manager exists, before the main window is built and before any worker thread reads it; it
// is cleared after the main window is gone. Nothing is owned: whoever installs the context
// keeps the objects alive for as long as it is installed. Outside that span every member is
// nullptr, and readers must cope (a page built by a test without a context).
struct AppContext {
  TaskManager* taskManager = nullptr;
  Settings* settings = nullptr;
  WakeScheduler* wakeScheduler = nullptr;
};

// The context in force; all members nullptr when none is installed.
const AppContext& CurrentApp();

// Installs a context for its lifetime and restores the previous one on destruction, so
// start-up and tests set and clear it in a visible order. UI thread only.
class ScopedAppContext {
 public:
  explicit ScopedAppContext(const AppContext& context);
  ~ScopedAppContext();
  ScopedAppContext(const ScopedAppContext&) = delete;
  ScopedAppContext& operator=(const ScopedAppContext&) = delete;

 private:
  AppContext previous_;
};
