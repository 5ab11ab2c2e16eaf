#pragma once

#include <oleidl.h>
#include <windows.h>

#include <cstdint>
#include <map>

class IUIContainer;

// A drop target for a whole window that hands each drag to the handler registered for the
// control under the pointer, telling the previous handler that the drag left when that control
// changes. UI thread only. Owned by its container (COM reference counting does not delete it);
// handlers are borrowed and must be unregistered before they go. The program never registers
// it with the platform, so no drag reaches a window unless code calls it.
class UIDropTargetDispatcher : public IDropTarget {
 public:
  explicit UIDropTargetDispatcher(IUIContainer* container) : container_(container) {}
  UIDropTargetDispatcher(const UIDropTargetDispatcher&) = delete;
  UIDropTargetDispatcher& operator=(const UIDropTargetDispatcher&) = delete;

  void Register(uint32_t control, IDropTarget* handler) { handlers_[control] = handler; }
  void Unregister(uint32_t control);

  // IUnknown:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  // IDropTarget (points in screen coordinates):
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL pt,
                                      DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL pt, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override;

 private:
  // The handler of the control under `pt` (null when none), switching handlers as needed.
  IDropTarget* Track(DWORD keys, POINTL pt, DWORD* effect);

  IUIContainer* container_;
  std::map<uint32_t, IDropTarget*> handlers_;
  uint32_t current_ = 0;
  IDataObject* data_ = nullptr;  // borrowed for the drag's duration
};
