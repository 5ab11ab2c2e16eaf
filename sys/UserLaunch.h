#pragma once

#include <windows.h>

#include <string>

#include "sys/LaunchResult.h"

// Starting programs, documents and web addresses with the rights of the user. An elevated
// process must not hand its administrator token to what a task or a menu entry starts (the
// task file is writable by every unelevated program of the user), so when elevated the start
// goes through the desktop shell, which runs unelevated, or through the shell process's token;
// when neither is there nothing is started. Any thread (COM is initialised for the call where
// the thread has none); failures come back as LaunchResult::Failed.

enum class LaunchRoute {
  Direct,        // ShellExecuteEx in this process, which is not elevated
  DesktopShell,  // the desktop's shell executes it (IShellDispatch2::ShellExecute)
  ShellToken,    // CreateProcessWithTokenW with the token of the shell's process
  Skip,          // elevated, and no shell to lend its rights: nothing starts
};

// What to start: `file` (a program, a document or a web address) with `parameters` and working
// `directory`, either of which may be empty.
struct LaunchRequest {
  std::wstring file;
  std::wstring parameters;
  std::wstring directory;
  bool hidden = false;
};

// The route for a process that is `elevated` or not, given whether the desktop shell's
// dispatch object and the shell process's token could be had.
LaunchRoute ChooseLaunchRoute(bool elevated, bool shellFound, bool shellTokenFound);

// Starts `request` with the rights of the user: the route ChooseLaunchRoute gives for this
// process.
LaunchResult LaunchAsUser(const LaunchRequest& request);

// The routes one by one. `verb` is the shell verb of the direct start ("open", "runas").
LaunchResult LaunchDirect(const LaunchRequest& request, const wchar_t* verb);
// Failed when there is no desktop shell to ask.
LaunchResult LaunchThroughDesktopShell(const LaunchRequest& request);
// Shell-executes `request` in a new process with `token` (rundll32's ShellExec_RunDLL, so that
// documents and addresses open as they would from the shell).
LaunchResult LaunchWithToken(HANDLE token, const LaunchRequest& request);
// Starts nothing; writes what was not started, and why, to the debug output.
LaunchResult SkipLaunch(const LaunchRequest& request);
