#pragma once

#include <windows.h>

#include <objbase.h>

#include <utility>

// Owns one operating-system handle and closes it exactly once. Traits name the handle type,
// what counts as "no handle" and how to close it. Move-only.
template <class Traits>
class ScopedHandleT {
 public:
  using Handle = typename Traits::Handle;

  ScopedHandleT() = default;
  explicit ScopedHandleT(Handle handle) : handle_(handle) {}
  ~ScopedHandleT() { reset(); }
  ScopedHandleT(ScopedHandleT&& other) noexcept : handle_(other.release()) {}
  ScopedHandleT& operator=(ScopedHandleT&& other) noexcept {
    if (this != &other)
      reset(other.release());
    return *this;
  }
  ScopedHandleT(const ScopedHandleT&) = delete;
  ScopedHandleT& operator=(const ScopedHandleT&) = delete;

  Handle get() const { return handle_; }
  bool valid() const { return Traits::IsValid(handle_); }
  explicit operator bool() const { return valid(); }

  void reset(Handle handle = Traits::Null()) {
    if (Traits::IsValid(handle_))
      Traits::Close(handle_);
    handle_ = handle;
  }
  Handle release() { return std::exchange(handle_, Traits::Null()); }
  // For out-parameters: closes the current handle and hands out the slot.
  Handle* receive() {
    reset();
    return &handle_;
  }

 private:
  Handle handle_ = Traits::Null();
};

// Kernel objects: processes, tokens, files, snapshots. Both null and INVALID_HANDLE_VALUE mean
// "none", since the APIs disagree on which one reports failure.
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { CloseHandle(h); }
};
using ScopedHandle = ScopedHandleT<KernelHandleTraits>;

struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle Null() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { FindClose(h); }
};
using ScopedFindHandle = ScopedHandleT<FindHandleTraits>;

struct RegKeyTraits {
  using Handle = HKEY;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { RegCloseKey(h); }
};
using ScopedRegKey = ScopedHandleT<RegKeyTraits>;

struct ModuleTraits {
  using Handle = HMODULE;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { FreeLibrary(h); }
};
// A library loaded with LoadLibrary; never wrap a handle from GetModuleHandle.
using ScopedLibrary = ScopedHandleT<ModuleTraits>;

// Memory the system hands out with LocalAlloc: security descriptors, SIDs, formatted texts.
struct LocalMemoryTraits {
  using Handle = HLOCAL;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { LocalFree(h); }
};
using ScopedLocalMemory = ScopedHandleT<LocalMemoryTraits>;

struct IconTraits {
  using Handle = HICON;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { DestroyIcon(h); }
};
using ScopedIcon = ScopedHandleT<IconTraits>;

struct GdiObjectTraits {
  using Handle = HGDIOBJ;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { DeleteObject(h); }
};
using ScopedGdiObject = ScopedHandleT<GdiObjectTraits>;

struct MemoryDcTraits {
  using Handle = HDC;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { DeleteDC(h); }
};
using ScopedMemoryDc = ScopedHandleT<MemoryDcTraits>;

// The screen's device context, from GetDC(nullptr).
struct ScreenDcTraits {
  using Handle = HDC;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ReleaseDC(nullptr, h); }
};
using ScopedScreenDc = ScopedHandleT<ScreenDcTraits>;

// The header of a 32-bit top-down DIB: rows in the order a GDI+ bitmap over the same pixels
// reads them.
inline BITMAPINFO TopDownDibInfo(int width, int height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

// The COM library on the calling thread, single-threaded apartment, for this object's lifetime.
class ScopedComInit {
 public:
  ScopedComInit() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ScopedComInit() {
    if (SUCCEEDED(hr_))
      CoUninitialize();
  }
  ScopedComInit(const ScopedComInit&) = delete;
  ScopedComInit& operator=(const ScopedComInit&) = delete;

  bool succeeded() const { return SUCCEEDED(hr_); }

 private:
  HRESULT hr_;
};
