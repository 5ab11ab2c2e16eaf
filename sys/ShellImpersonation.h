#pragma once

#include "sys/Handles.h"

// Makes the calling thread act as the unelevated user behind the desktop shell (the token of
// OpenShellToken(), duplicated for impersonation) from construction until destruction, which
// reverts the thread to the process's own token. When no shell token can be had, or the thread
// cannot take it, nothing changes and active() is false.
//
// Lives on one thread, on its stack; not to be nested.
class ScopedShellImpersonation {
 public:
  ScopedShellImpersonation();
  ~ScopedShellImpersonation();
  ScopedShellImpersonation(const ScopedShellImpersonation&) = delete;
  ScopedShellImpersonation& operator=(const ScopedShellImpersonation&) = delete;

  bool active() const { return active_; }

 private:
  ScopedHandle token_;
  bool active_ = false;
};
