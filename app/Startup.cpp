#include "app/Startup.h"

#include "sys/ProcessSetup.h"

bool HasSwitch(const std::wstring& commandLine, const wchar_t* switchText) {
  return commandLine.find(switchText) != std::wstring::npos;
}

ElevationStep DecideElevation(const std::wstring& commandLine, DWORD ntMajor, bool isAdmin) {
  ElevationStep step;
  if (ntMajor <= 5 || isAdmin)
    return step;
  step.proceed = false;
  // A relaunched copy that is still not elevated gives up instead of prompting again.
  if (HasSwitch(commandLine, L"/second"))
    return step;
  step.relaunch = true;
  step.parameters = L"/second";
  if (HasSwitch(commandLine, L"/auto"))
    step.parameters += L" /auto";
  return step;
}

bool WantsDpiAwareness(std::optional<DWORD> appliedDpi) {
  return !(appliedDpi && *appliedDpi > 150);
}

UINT TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

void AllowShellMessages() {
  const UINT messages[] = {0x218, 0x4A, 0x1A, 0x7E, 0x233, 0x8066, 0x8001, 0x8067, 0x52,
                           TaskbarCreatedMessage()};
  for (UINT m : messages)
    AllowWindowMessage(m);
}
