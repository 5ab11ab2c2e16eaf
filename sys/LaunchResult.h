#pragma once

// What came of a request to start a program or open a document or address.
enum class LaunchResult {
  Started,  // the shell or the system accepted the request
  Failed,   // it refused (a missing file, an empty name)
  Skipped,  // not started on purpose; the reason went to the debug output
};
