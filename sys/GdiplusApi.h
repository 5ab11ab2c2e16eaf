#pragma once

#include <windows.h>

#include <algorithm>

// The SDK's GDI+ headers call unqualified min and max, which NOMINMAX takes away.
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus

#include <gdiplus.h>
