#include "tasks/AppContext.h"

namespace {

// Written only on the UI thread while no other thread reads it (see the header).
AppContext g_context;

}  // namespace

const AppContext& CurrentApp() {
  return g_context;
}

ScopedAppContext::ScopedAppContext(const AppContext& context) : previous_(g_context) {
  g_context = context;
}

ScopedAppContext::~ScopedAppContext() {
  g_context = previous_;
}
