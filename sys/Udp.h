#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// IPv4 UDP for fire-and-forget reports. Any thread; nothing is logged, failures come back as
// empty or false. The socket layer must be started (WSAStartup, or curl's global
// initialisation) before any of these is called.

// The first IPv4 address the resolver gives for `host`, in dotted form ("127.0.0.1"); empty
// when the name cannot be resolved. A dotted address resolves to itself without a query.
std::string ResolveIPv4(const std::string& host);

// Sends `size` bytes to `dottedAddress`:`port` from a new socket, which is closed before
// returning. No answer is awaited; true when the datagram was handed to the network.
bool SendUdpDatagram(const std::string& dottedAddress,
                     uint16_t port,
                     const void* data,
                     size_t size);

// The socket layer, version 2.2, started for this object's lifetime.
class WinsockSession {
 public:
  WinsockSession();
  ~WinsockSession();
  WinsockSession(const WinsockSession&) = delete;
  WinsockSession& operator=(const WinsockSession&) = delete;

  bool ok() const { return ok_; }

 private:
  bool ok_ = false;
};
