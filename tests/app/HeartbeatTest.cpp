#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "app/Heartbeat.h"
#include "sys/Files.h"
#include "tests/app/IdentityRegistry.h"
#include "tests/support/FakeClock.h"
#include "tests/support/PumpUntil.h"
#include "tests/support/StartProcess.h"
#include "tests/support/UdpReceiver.h"

namespace {

uint32_t U32At(const std::string& bytes, size_t offset) {
  uint32_t v = 0;
  for (size_t i = 0; i < 4; ++i)
    v |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[offset + i])) << (8 * i);
  return v;
}

std::string Bytes(const HeartbeatDatagram& datagram) {
  return std::string(reinterpret_cast<const char*>(datagram.data()), datagram.size());
}

std::string Hex(const std::string& bytes) {
  static const char kHex[] = "0123456789abcdef";
  std::string text;
  for (char c : bytes) {
    text += kHex[static_cast<uint8_t>(c) >> 4];
    text += kHex[static_cast<uint8_t>(c) & 15];
  }
  return text;
}

HeartbeatRecord LoopbackRecord(uint16_t port) {
  HeartbeatRecord record;
  record.host = "127.0.0.1";
  record.port = port;
  record.applicationId = 105;
  record.unionId = 1001;
  record.version = "1.2.3.4";
  record.installDate = 20310203;
  return record;
}

}  // namespace

TEST(Heartbeat, DatagramIsLaidOutByteForByte) {
  HeartbeatRecord record = LoopbackRecord(8700);
  record.deviceId = "0123456789abcdef0123456789abcdef";
  std::string expected =
      "c8b97a6d"
      "00000000"
      "01000000"
      "62000000"
      "04000000"
      "69000000"
      "e9030000"
      // version, 32 bytes
      "312e322e332e3400000000000000000000000000000000000000000000000000"
      // device id, 33 bytes
      "3031323334353637383961626364656630313233343536373839616263646566"
      "00"
      // install date 20310203 at the unaligned offset 93, then the last zero
      "bbe83501"
      "00";
  EXPECT_EQ(Hex(Bytes(BuildHeartbeatDatagram(record, HeartbeatKind::kProgramExit))), expected);

  std::string periodic = Bytes(BuildHeartbeatDatagram(record, HeartbeatKind::kPeriodic));
  EXPECT_EQ(U32At(periodic, 16), 3u);
}

TEST(Heartbeat, OverlongTextsAreCutAndKeepTheirZero) {
  struct Case {
    std::string version;
    std::string deviceId;
    std::string sentVersion;
    std::string sentDeviceId;
  } cases[] = {
      {std::string(31, '9'), std::string(32, 'a'), std::string(31, '9'), std::string(32, 'a')},
      {std::string(32, '9'), std::string(33, 'a'), std::string(31, '9'), std::string(32, 'a')},
      {std::string(80, '9'), std::string(90, 'a'), std::string(31, '9'), std::string(32, 'a')},
      {"", "", "", ""},
  };
  for (const Case& c : cases) {
    HeartbeatRecord record = LoopbackRecord(1);
    record.version = c.version;
    record.deviceId = c.deviceId;
    std::string d = Bytes(BuildHeartbeatDatagram(record, HeartbeatKind::kPeriodic));
    ASSERT_EQ(d.size(), 98u);
    EXPECT_EQ(std::string(d.c_str() + 28), c.sentVersion);
    EXPECT_EQ(d[59], '\0');
    EXPECT_EQ(std::string(d.c_str() + 60), c.sentDeviceId);
    EXPECT_EQ(d[92], '\0');
    EXPECT_EQ(U32At(d, 93), 20310203u) << "a long text must not run into the install date";
    EXPECT_EQ(d[97], '\0');
  }

  Identity identity;
  identity.version = std::wstring(40, L'7');
  EXPECT_EQ(MakeHeartbeatRecord(identity, "h", 1).version, std::string(31, '7'));
}

TEST(Heartbeat, ExitReportCarriesTheRegistryFallbacksToTheServer) {
  FakeClock clock;
  clock.SetLocal(2031, 2, 3, 8, 0, 0);
  ScopedIdentityRegistry registry;  // no "UnionId", no "InstallDate"
  UdpReceiver receiver;
  ASSERT_TRUE(receiver.ok());

  Heartbeat heartbeat;
  heartbeat.Start(MakeHeartbeatRecord(ReadIdentity(), "127.0.0.1", receiver.port()));
  heartbeat.SendExitReport();
  std::string got = receiver.Receive();
  ASSERT_EQ(got.size(), 98u);

  HeartbeatRecord expected = LoopbackRecord(receiver.port());
  expected.version = "0.0.0.0";
  expected.deviceId = DeviceId();
  EXPECT_EQ(Hex(got), Hex(Bytes(BuildHeartbeatDatagram(expected, HeartbeatKind::kProgramExit))));
  EXPECT_EQ(U32At(got, 24), 1001u);
  EXPECT_EQ(U32At(got, 93), 20310203u);
  EXPECT_EQ(heartbeat.AddressForTesting(), "127.0.0.1");
}

TEST(Heartbeat, ThreadSendsPeriodicDatagramsWhileExitReportsComeFromOtherThreads) {
  UdpReceiver receiver;
  ASSERT_TRUE(receiver.ok());
  std::string deviceId = DeviceId();
  {
    Heartbeat heartbeat(1);
    heartbeat.Start(LoopbackRecord(receiver.port()));
    // Exit reports race the thread's first sends, which fill the address and the device id.
    std::vector<std::thread> senders;
    for (int i = 0; i < 4; ++i)
      senders.emplace_back([&heartbeat] {
        for (int n = 0; n < 5; ++n)
          heartbeat.SendExitReport();
      });
    for (std::thread& t : senders)
      t.join();
    int periodic = 0, exits = 0;
    while (periodic < 3 || exits < 20) {
      std::string got = receiver.Receive();
      ASSERT_EQ(got.size(), 98u) << periodic << " periodic, " << exits << " exit datagrams";
      EXPECT_EQ(std::string(got.c_str() + 60), deviceId);
      (U32At(got, 16) == 3 ? periodic : exits)++;
    }
    EXPECT_EQ(heartbeat.RecordForTesting().deviceId, deviceId);
  }
}

TEST(Heartbeat, NothingLeavesWithoutAHost) {
  UdpReceiver receiver;
  ASSERT_TRUE(receiver.ok());
  Heartbeat never;
  never.SendExitReport();  // before Start: no host yet
  HeartbeatRecord record = LoopbackRecord(receiver.port());
  record.host.clear();
  Heartbeat empty;
  empty.Start(record);
  empty.SendExitReport();
  // A datagram that does arrive proves the receiver would have seen the others.
  Heartbeat real;
  real.Start(LoopbackRecord(receiver.port()));
  real.SendExitReport();
  std::string got = receiver.Receive();
  ASSERT_EQ(got.size(), 98u);
  EXPECT_EQ(receiver.Receive(0), "");
}

TEST(Heartbeat, ProgramEndingInItsFirstMinuteSendsOnlyTheExitDatagram) {
  UdpReceiver receiver;
  ASSERT_TRUE(receiver.ok());
  ScopedHandle probe = StartProcess(GetModuleDirectory() + L"\\app_probe.exe",
                                    L"heartbeat " + std::to_wstring(receiver.port()));
  ASSERT_TRUE(probe.valid());
  ASSERT_EQ(WaitForSingleObject(probe.get(), 30000), WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(probe.get(), &code);
  EXPECT_EQ(code, 0u);
  std::string got = receiver.Receive();
  ASSERT_EQ(got.size(), 98u);
  EXPECT_EQ(U32At(got, 0), 0x6D7AB9C8u);
  EXPECT_EQ(U32At(got, 16), 4u);
  // The process is gone: whatever it sent has arrived.
  EXPECT_EQ(receiver.Receive(0), "") << "a second datagram left the program";
}

TEST(Heartbeat, TheExitReportNeverWaitsForTheServersName) {
  UdpReceiver receiver;
  ASSERT_TRUE(receiver.ok());
  const DWORD caller = GetCurrentThreadId();
  std::atomic<bool> lookedUpByCaller{false};
  ScopedHandle answer(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  // A name lookup that hangs until the test answers it, as one does offline.
  Heartbeat heartbeat(60000, [&](const std::string& host) {
    if (GetCurrentThreadId() == caller) {
      lookedUpByCaller = true;
      return std::string();
    }
    WaitForSingleObject(answer.get(), INFINITE);
    return std::string("127.0.0.1");
  });
  HeartbeatRecord record = LoopbackRecord(receiver.port());
  record.host = "stats.invalid";
  heartbeat.Start(record);
  heartbeat.SendExitReport();
  EXPECT_FALSE(lookedUpByCaller);
  EXPECT_EQ(receiver.Receive(0), "") << "sent before the address was known";

  SetEvent(answer.get());
  ASSERT_TRUE(PumpUntil([&] { return heartbeat.AddressForTesting() == "127.0.0.1"; }));
  heartbeat.SendExitReport();
  std::string got = receiver.Receive();
  ASSERT_EQ(got.size(), 98u);
  EXPECT_EQ(U32At(got, 16), 4u);
  EXPECT_FALSE(lookedUpByCaller);
}
