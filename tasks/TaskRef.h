#pragma once

#include <utility>

#include "tasks/IQuelmTask.h"

// One owning reference to a heap task: construction from a pointer takes a new reference,
// copying takes another, destruction drops it. Jobs that carry a task hold one, so a job that
// is destroyed without running still gives its reference back.
class TaskRef {
 public:
  TaskRef() = default;
  explicit TaskRef(IQuelmTask* task) : task_(task) {
    if (task_)
      task_->AddRef();
  }
  TaskRef(const TaskRef& other) : TaskRef(other.task_) {}
  TaskRef(TaskRef&& other) noexcept : task_(std::exchange(other.task_, nullptr)) {}
  TaskRef& operator=(TaskRef other) noexcept {
    std::swap(task_, other.task_);
    return *this;
  }
  ~TaskRef() {
    if (task_)
      task_->Release();
  }

  IQuelmTask* get() const { return task_; }
  IQuelmTask* operator->() const { return task_; }
  IQuelmTask& operator*() const { return *task_; }

 private:
  IQuelmTask* task_ = nullptr;
};
