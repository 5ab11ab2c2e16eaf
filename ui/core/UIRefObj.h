#pragma once

#include <atomic>
#include <utility>

// Reference-counted base of controls, painters and layouts. Starts at one reference, held by
// whoever created the object; the last Release deletes it through DeleteSelf. Counting is
// interlocked, so references may be taken and dropped on any thread; the object itself is
// still used on the UI thread only unless its class says otherwise.
class UIRefObj {
 public:
  UIRefObj() = default;
  UIRefObj(const UIRefObj&) = delete;
  UIRefObj& operator=(const UIRefObj&) = delete;

  long AddRef() { return ++refs_; }
  long Release() {
    long left = --refs_;
    if (left == 0)
      DeleteSelf();
    return left;
  }

 protected:
  virtual ~UIRefObj() = default;
  virtual void DeleteSelf() { delete this; }

 private:
  std::atomic<long> refs_{1};
};

// Owning reference to a UIRefObj: copying adds a reference, destruction drops one. Adopt takes
// over a reference the caller already holds (the one a factory returns).
template <class T>
class UIRef {
 public:
  UIRef() = default;
  UIRef(std::nullptr_t) {}
  explicit UIRef(T* p) : p_(p) {
    if (p_)
      p_->AddRef();
  }
  static UIRef Adopt(T* p) {
    UIRef r;
    r.p_ = p;
    return r;
  }
  UIRef(const UIRef& o) : UIRef(o.p_) {}
  UIRef(UIRef&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  UIRef& operator=(UIRef o) noexcept {
    std::swap(p_, o.p_);
    return *this;
  }
  ~UIRef() {
    if (p_)
      p_->Release();
  }

  T* get() const { return p_; }
  T* operator->() const { return p_; }
  T& operator*() const { return *p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // Hands the reference to the caller.
  T* release() { return std::exchange(p_, nullptr); }

 private:
  T* p_ = nullptr;
};
