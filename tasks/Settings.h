#pragma once

#include <atomic>
#include <string>

#include "sys/IniFile.h"

// The program's per-user settings: the data folder, "cfg.ini" in it, and the autostart value in
// the current user's Run key. One object per process, filled by LoadSettings() at start-up
// before any window exists and alive until exit. It lives with the engine because the task
// file shares its data folder, and so that the pages (which sit above the engine) can read it.
struct Settings {
  IniFile ini;
  // Play the notification sound when a task runs. Written on the UI thread, read on the
  // scheduler thread.
  std::atomic<bool> showTips{true};
  // Wake the computer from sleep for the next daily, weekly or dated task ("wake", default 0).
  std::atomic<bool> wake{false};
};

Settings& AppSettings();

// "QuelmTask" under the per-user local application-data folder, without a trailing backslash;
// built anew on every call. When the shell cannot name that folder, under the executable's.
std::wstring DataFolder();
// DataFolder() for a given local application-data folder (empty: the shell could not say).
std::wstring DataFolderUnder(const std::wstring& localAppData);
// Creates the data folder and reads "cfg.ini".
void LoadSettings();
// Sets the sound setting and writes it to "cfg.ini" at once.
void SetShowTips(bool on);
// Sets the wake setting and writes it to "cfg.ini" at once.
void SetWake(bool on);

// Read from the registry every time; never cached.
bool IsAutostartOn();
// On: the Run value "QuelmTask" holds the quoted path of this executable. Off: the value goes.
void SetAutostart(bool on);
