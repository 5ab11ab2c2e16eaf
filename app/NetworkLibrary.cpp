#include <winsock2.h>

#include "app/NetworkLibrary.h"

#include <curl/curl.h>

#include <future>
#include <thread>

namespace {

// Set on the UI thread before any thread that waits for it exists.
std::shared_future<bool>& Initialised() {
  static std::shared_future<bool> done;
  return done;
}

}  // namespace

void StartNetworkLibrary() {
  if (Initialised().valid())
    return;
  std::packaged_task<bool()> init([] { return curl_global_init(CURL_GLOBAL_ALL) == CURLE_OK; });
  Initialised() = init.get_future().share();
  // Not joined: a process that ends meanwhile (the update component's veto) ends it too.
  std::thread(std::move(init)).detach();
}

bool AwaitNetworkLibrary() {
  const std::shared_future<bool>& done = Initialised();
  return !done.valid() || done.get();
}
