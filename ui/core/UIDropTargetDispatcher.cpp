#include "ui/core/UIDropTargetDispatcher.h"

#include "ui/core/IUIContainer.h"
#include "ui/core/UIControl.h"

void UIDropTargetDispatcher::Unregister(uint32_t control) {
  handlers_.erase(control);
  if (current_ == control)
    current_ = 0;
}

HRESULT UIDropTargetDispatcher::QueryInterface(REFIID iid, void** out) {
  if (!out)
    return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
    *out = static_cast<IDropTarget*>(this);
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

IDropTarget* UIDropTargetDispatcher::Track(DWORD keys, POINTL pt, DWORD* effect) {
  POINT p = {pt.x, pt.y};
  if (container_->GetHwnd())
    ScreenToClient(container_->GetHwnd(), &p);
  UIControl* under = container_->GetRoot()->ControlFromPoint(p.x, p.y);
  uint32_t handle = under ? under->GetHandle() : 0;
  auto found = handlers_.find(handle);
  IDropTarget* handler = found == handlers_.end() ? nullptr : found->second;
  if (handle != current_ || !handler) {
    auto previous = handlers_.find(current_);
    if (previous != handlers_.end())
      previous->second->DragLeave();
    current_ = handler ? handle : 0;
    if (handler) {
      handler->DragEnter(data_, keys, pt, effect);
      return nullptr;  // entering answered this step
    }
  }
  return handler;
}

HRESULT UIDropTargetDispatcher::DragEnter(IDataObject* data, DWORD keys, POINTL pt,
                                          DWORD* effect) {
  data_ = data;
  current_ = 0;
  if (effect)
    *effect = DROPEFFECT_NONE;
  Track(keys, pt, effect);
  return S_OK;
}

HRESULT UIDropTargetDispatcher::DragOver(DWORD keys, POINTL pt, DWORD* effect) {
  DWORD asked = effect ? *effect : DROPEFFECT_NONE;
  if (effect)
    *effect = DROPEFFECT_NONE;
  if (IDropTarget* handler = Track(keys, pt, effect)) {
    if (effect)
      *effect = asked;
    handler->DragOver(keys, pt, effect);
  }
  return S_OK;
}

HRESULT UIDropTargetDispatcher::DragLeave() {
  auto previous = handlers_.find(current_);
  if (previous != handlers_.end())
    previous->second->DragLeave();
  current_ = 0;
  data_ = nullptr;
  return S_OK;
}

HRESULT UIDropTargetDispatcher::Drop(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) {
  data_ = data;
  DWORD asked = effect ? *effect : DROPEFFECT_NONE;
  Track(keys, pt, effect);
  auto found = handlers_.find(current_);
  if (found != handlers_.end()) {
    if (effect)
      *effect = asked;
    found->second->Drop(data, keys, pt, effect);
  } else if (effect) {
    *effect = DROPEFFECT_NONE;
  }
  current_ = 0;
  data_ = nullptr;
  return S_OK;
}
