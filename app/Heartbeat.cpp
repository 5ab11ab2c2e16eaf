#include "app/Heartbeat.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "app/MakerAddresses.h"
#include "sys/StringFormat.h"
#include "sys/Udp.h"

namespace {

const uint32_t kMagic = 0x6D7AB9C8;
const size_t kVersionOffset = 28;
const size_t kVersionField = 32;
const size_t kDeviceIdOffset = 60;
const size_t kDeviceIdField = 33;
const size_t kInstallDateOffset = 93;

void PutU32(HeartbeatDatagram& datagram, size_t offset, uint32_t value) {
  for (size_t i = 0; i < 4; ++i)
    datagram[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

// Copies at most field - 1 bytes, so the field always keeps its terminating zero.
void PutText(HeartbeatDatagram& datagram, size_t offset, size_t field, const std::string& text) {
  size_t n = text.size() < field - 1 ? text.size() : field - 1;
  std::memcpy(datagram.data() + offset, text.data(), n);
}

}  // namespace

HeartbeatRecord MakeHeartbeatRecord(const Identity& identity,
                                    const std::string& host,
                                    uint16_t port) {
  HeartbeatRecord record;
  record.host = host;
  record.port = port;
  record.applicationId = kApplicationId;
  record.unionId = identity.unionId;
  record.version = WideToUtf8(identity.version).substr(0, kVersionField - 1);
  record.installDate = identity.installDate;
  return record;
}

HeartbeatDatagram BuildHeartbeatDatagram(const HeartbeatRecord& record, HeartbeatKind kind) {
  HeartbeatDatagram datagram = {};
  PutU32(datagram, 0, kMagic);
  PutU32(datagram, 4, 0);
  PutU32(datagram, 8, 1);
  PutU32(datagram, 12, static_cast<uint32_t>(kHeartbeatDatagramSize));
  PutU32(datagram, 16, static_cast<uint32_t>(kind));
  PutU32(datagram, 20, static_cast<uint32_t>(record.applicationId));
  PutU32(datagram, 24, record.unionId);
  PutText(datagram, kVersionOffset, kVersionField, record.version);
  PutText(datagram, kDeviceIdOffset, kDeviceIdField, record.deviceId);
  PutU32(datagram, kInstallDateOffset, static_cast<uint32_t>(record.installDate));
  return datagram;
}

Heartbeat::Heartbeat(uint32_t intervalMs) : intervalMs_(intervalMs) {}

Heartbeat::~Heartbeat() {
  stop_ = true;
  if (event_)
    event_->Signal();
  if (thread_.joinable())
    thread_.join();
}

void Heartbeat::Start(const HeartbeatRecord& record) {
  ScopedLock hold(lock_);
  std::string deviceId = record_.deviceId;
  if (record.host != record_.host)
    address_.clear();
  record_ = record;
  record_.deviceId = deviceId;
  if (thread_.joinable())
    return;
  event_ = std::make_unique<AutoResetEvent>();
  thread_ = std::thread(&Heartbeat::Run, this);
}

void Heartbeat::Run() {
  while (!stop_) {
    // Nothing signals the event but the destructor: this is the pause between datagrams.
    event_->Wait(intervalMs_);
    if (stop_)
      return;
    Send(HeartbeatKind::kPeriodic);
  }
}

void Heartbeat::Send(HeartbeatKind kind) {
  HeartbeatRecord record;
  std::string address;
  {
    ScopedLock hold(lock_);
    record = record_;
    address = address_;
  }
  if (record.host.empty())
    return;
  if (address.empty()) {
    // Resolved outside the lock: a slow resolver must not hold up the other sender.
    std::string resolved = ResolveIPv4(record.host);
    if (resolved.empty())
      return;
    ScopedLock hold(lock_);
    if (address_.empty() && record_.host == record.host)
      address_ = resolved;
    address = resolved;
  }
  if (record.deviceId.empty()) {
    const std::string& id = DeviceId();
    ScopedLock hold(lock_);
    if (record_.deviceId.empty())
      record_.deviceId = id;
    record.deviceId = record_.deviceId;
  }
  HeartbeatDatagram datagram = BuildHeartbeatDatagram(record, kind);
  SendUdpDatagram(address, record.port, datagram.data(), datagram.size());
}

HeartbeatRecord Heartbeat::RecordForTesting() {
  ScopedLock hold(lock_);
  return record_;
}

std::string Heartbeat::AddressForTesting() {
  ScopedLock hold(lock_);
  return address_;
}

namespace {

struct ProcessHeartbeat {
  std::string host = kStatisticsHost;
  uint16_t port = kStatisticsPort;
  uint32_t intervalMs = 60000;
  // Set by SetHeartbeatServerForTesting, which wins over the environment.
  bool serverChosen = false;
  // Never destroyed: the thread ends with the process.
  Heartbeat* heartbeat = nullptr;
};

ProcessHeartbeat& Process() {
  static ProcessHeartbeat process;
  return process;
}

void ApplyServerFromEnvironment(ProcessHeartbeat& process) {
  const char* text = std::getenv("QUELM_STAT_SERVER_FOR_TESTING");
  if (!text || process.serverChosen)
    return;
  std::string server = text;
  size_t colon = server.rfind(':');
  if (colon == std::string::npos || colon == 0)
    return;
  long port = std::strtol(server.c_str() + colon + 1, nullptr, 10);
  if (port <= 0 || port > 65535)
    return;
  process.host = server.substr(0, colon);
  process.port = static_cast<uint16_t>(port);
}

}  // namespace

void StartHeartbeat() {
  ProcessHeartbeat& process = Process();
  if (!process.heartbeat) {
    ApplyServerFromEnvironment(process);
    process.heartbeat = new Heartbeat(process.intervalMs);
  }
  process.heartbeat->Start(MakeHeartbeatRecord(AppIdentity(), process.host, process.port));
}

void SendExitReport() {
  if (Process().heartbeat)
    Process().heartbeat->SendExitReport();
}

void SetHeartbeatServerForTesting(const std::string& host, uint16_t port, uint32_t intervalMs) {
  ProcessHeartbeat& process = Process();
  process.host = host;
  process.port = port;
  process.intervalMs = intervalMs;
  process.serverChosen = true;
}
