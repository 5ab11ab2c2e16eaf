#include "app/Heartbeat.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "app/MakerAddresses.h"
#include "app/NetworkLibrary.h"
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

// "a.b.c.d" with four decimal parts of at most 255: an address that needs no lookup.
bool IsDottedIPv4(const std::string& host) {
  int parts = 0;
  size_t i = 0;
  while (i < host.size()) {
    size_t digits = 0;
    int value = 0;
    while (i < host.size() && host[i] >= '0' && host[i] <= '9' && digits < 4) {
      value = value * 10 + (host[i++] - '0');
      ++digits;
    }
    if (digits == 0 || digits > 3 || value > 255)
      return false;
    ++parts;
    if (i == host.size())
      break;
    if (host[i++] != '.' || i == host.size())
      return false;
  }
  return parts == 4;
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

Heartbeat::Heartbeat(uint32_t intervalMs, Resolver resolver)
    : intervalMs_(intervalMs), resolver_(resolver ? std::move(resolver) : Resolver(&ResolveIPv4)) {}

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
    address_ = IsDottedIPv4(record.host) ? record.host : std::string();
  record_ = record;
  record_.deviceId = deviceId;
  if (thread_.joinable())
    return;
  event_ = std::make_unique<AutoResetEvent>();
  thread_ = std::thread(&Heartbeat::Run, this);
}

void Heartbeat::Run() {
  std::string host;
  {
    ScopedLock hold(lock_);
    host = record_.host;
  }
  // Known well before the program ends, in the usual case.
  Resolve(host);
  while (!stop_) {
    // Nothing signals the event but the destructor: this is the pause between datagrams.
    event_->Wait(intervalMs_);
    if (stop_)
      return;
    Send(HeartbeatKind::kPeriodic, true);
  }
}

std::string Heartbeat::Resolve(const std::string& host) {
  {
    ScopedLock hold(lock_);
    if (!address_.empty() || host.empty())
      return address_;
  }
  // Outside the lock: a slow resolver must not hold up an exit report.
  std::string resolved = resolver_(host);
  ScopedLock hold(lock_);
  if (address_.empty() && record_.host == host)
    address_ = resolved;
  return resolved;
}

void Heartbeat::Send(HeartbeatKind kind, bool mayResolve) {
  HeartbeatRecord record;
  std::string address;
  {
    ScopedLock hold(lock_);
    record = record_;
    address = address_;
  }
  if (record.host.empty())
    return;
  if (address.empty() && mayResolve)
    address = Resolve(record.host);
  if (address.empty())
    return;
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
  AwaitNetworkLibrary();  // the datagrams go through its socket layer
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
