#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "app/Identity.h"
#include "sys/AutoResetEvent.h"
#include "sys/CriticalSection.h"

inline constexpr size_t kHeartbeatDatagramSize = 98;
using HeartbeatDatagram = std::array<uint8_t, kHeartbeatDatagramSize>;

enum class HeartbeatKind : uint32_t {
  kPeriodic = 3,
  kProgramExit = 4,
};

// What every datagram of this process carries.
struct HeartbeatRecord {
  std::string host;
  uint16_t port = 0;
  int applicationId = 0;
  uint32_t unionId = 0;
  // UTF-8, at most 31 bytes.
  std::string version;
  int32_t installDate = 0;
  // ASCII, at most 32 characters; fetched at the first send.
  std::string deviceId;
};

// The record of `identity` for the statistics server `host`:`port`, the version cut to its
// first 31 bytes.
HeartbeatRecord MakeHeartbeatRecord(const Identity& identity,
                                    const std::string& host,
                                    uint16_t port);

// The 98-byte little-endian datagram of `kind`; over-long texts are cut to their fields.
HeartbeatDatagram BuildHeartbeatDatagram(const HeartbeatRecord& record, HeartbeatKind kind);

// The usage heartbeat: one datagram of kind periodic a minute from a thread of its own, and
// one of kind exit on request. Failures lose the datagram silently. Start and SendExitReport
// may be called from any thread; the server's address and the device id are published under a
// lock. Only the thread looks the server's name up (at its start, then before each periodic
// datagram until it resolves): an exit report goes to an address already known or nowhere, so
// a program ending offline never waits for a name lookup. A dotted address is known at once.
// The destructor stops and joins the thread (the process-wide heartbeat is never destroyed and
// ends with the process).
class Heartbeat {
 public:
  // The dotted address of a host name, empty when it does not resolve; may take long.
  using Resolver = std::function<std::string(const std::string& host)>;

  explicit Heartbeat(uint32_t intervalMs = 60000, Resolver resolver = nullptr);
  ~Heartbeat();
  Heartbeat(const Heartbeat&) = delete;
  Heartbeat& operator=(const Heartbeat&) = delete;

  // Takes `record` (its device id is ignored) and starts the thread when it is not running.
  void Start(const HeartbeatRecord& record);
  void SendExitReport() { Send(HeartbeatKind::kProgramExit, false); }

  // The record as the last send saw it, resolved address aside.
  HeartbeatRecord RecordForTesting();
  // The dotted address of the server, empty until a send resolved it.
  std::string AddressForTesting();

 private:
  void Run();
  // Sends when the address is known; with `mayResolve` looks it up first when it is not.
  void Send(HeartbeatKind kind, bool mayResolve);
  // The known address, or the one the resolver finds now; empty when none.
  std::string Resolve(const std::string& host);

  const uint32_t intervalMs_;
  const Resolver resolver_;
  CriticalSection lock_;
  // Guarded by lock_.
  HeartbeatRecord record_;
  std::string address_;
  std::unique_ptr<AutoResetEvent> event_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
};

// The process's heartbeat, for the maker's statistics server (or the server set for testing).
// Called once at start-up, before the main window.
void StartHeartbeat();
// Sends the exit datagram from the calling thread; after the main loop.
void SendExitReport();
// Points the process's heartbeat at `host`:`port` and shortens its interval; before
// StartHeartbeat. A program started with the environment variable
// QUELM_STAT_SERVER_FOR_TESTING set to "host:port" does the same with the usual interval, so
// tests of the whole program keep their datagrams on this machine.
void SetHeartbeatServerForTesting(const std::string& host,
                                  uint16_t port,
                                  uint32_t intervalMs = 60000);
