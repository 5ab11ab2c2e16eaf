#include "sys/ShellImpersonation.h"

#include "sys/UserToken.h"

ScopedShellImpersonation::ScopedShellImpersonation() {
  ScopedHandle primary = OpenShellToken();
  if (!primary || !DuplicateTokenEx(primary.get(), TOKEN_IMPERSONATE | TOKEN_QUERY, nullptr,
                                    SecurityImpersonation, TokenImpersonation, token_.receive()))
    return;
  active_ = SetThreadToken(nullptr, token_.get()) != FALSE;
}

ScopedShellImpersonation::~ScopedShellImpersonation() {
  if (active_)
    RevertToSelf();
}
