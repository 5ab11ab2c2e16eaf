#pragma once

#include <cstdint>
#include <string>

// A UDP socket bound to 127.0.0.1 on a port the system chooses, for tests of programs that
// report over UDP. Starts the socket layer itself. One thread.
class UdpReceiver {
 public:
  UdpReceiver();
  ~UdpReceiver();
  UdpReceiver(const UdpReceiver&) = delete;
  UdpReceiver& operator=(const UdpReceiver&) = delete;

  bool ok() const { return socket_ != ~uintptr_t(0) && port_ != 0; }
  uint16_t port() const { return port_; }
  // The next datagram; empty when none arrives within `timeoutMs` (a bound against a hang,
  // never a measurement).
  std::string Receive(uint32_t timeoutMs = 20000);

 private:
  bool started_ = false;
  uintptr_t socket_ = ~uintptr_t(0);
  uint16_t port_ = 0;
};
