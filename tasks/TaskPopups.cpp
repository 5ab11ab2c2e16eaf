#include "tasks/TaskPopups.h"

namespace {
TaskPopups* g_popups = nullptr;
}

TaskPopups* CurrentTaskPopups() {
  return g_popups;
}

TaskPopups* SetTaskPopups(TaskPopups* popups) {
  TaskPopups* previous = g_popups;
  g_popups = popups;
  return previous;
}
