#include "sys/Guid.h"

#include <objbase.h>

#include "sys/StringFormat.h"

std::wstring NewGuidString() {
  GUID g = {};
  if (FAILED(CoCreateGuid(&g)))
    g = GUID{};
  return WFormat(L"%08X-%04X-%04x-%02X%02X-%02X%02X%02X%02X%02X%02X",
                 static_cast<unsigned>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1],
                 g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
}
