#pragma once

// The network library's global initialisation (libcurl's, with every feature; on Windows it
// also starts the socket layer the usage heartbeat sends through). It runs on a thread of its
// own from where start-up calls for it: it loads the TLS stack, which under Wine takes longer
// than anything else before the window is built, and nothing the window needs waits for it.

// Starts the initialisation; once per process.
void StartNetworkLibrary();
// Waits until the initialisation has ended; true when it succeeded or was never started.
// Any thread.
bool AwaitNetworkLibrary();
