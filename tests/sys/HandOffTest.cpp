#include "sys/HandOff.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include "tests/support/PumpUntil.h"
#include "tests/sys/SysTestSupport.h"

namespace {

// Records what happens to jobs: which ran, on which thread, and which were destroyed.
struct JobLog {
  std::vector<int> runs;
  std::vector<DWORD> threads;
  std::atomic<int> destroyed{0};
};

class RecordingJob : public ThreadTask {
 public:
  RecordingJob(JobLog* log, int id) : log_(log), id_(id) {}
  ~RecordingJob() override { ++log_->destroyed; }
  void Run() override {
    log_->runs.push_back(id_);
    log_->threads.push_back(GetCurrentThreadId());
  }

 private:
  JobLog* log_;
  int id_;
};

class HandOffTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(CreateHandOffWindow(), nullptr); }
  void TearDown() override { DestroyHandOffWindow(); }
};

TEST_F(HandOffTest, WindowIsTheNamedHiddenPopupWithItsProperty) {
  HWND hwnd = HandOffWindow();
  wchar_t cls[64] = {};
  GetClassNameW(hwnd, cls, 64);
  EXPECT_STREQ(cls, L"ThreadSyn#Wnd");
  EXPECT_NE(GetPropW(hwnd, L"obj"), nullptr);
  EXPECT_FALSE(IsWindowVisible(hwnd));
  RECT rc;
  GetWindowRect(hwnd, &rc);
  EXPECT_EQ(rc.right - rc.left, 10);
  EXPECT_EQ(rc.bottom - rc.top, 10);
  EXPECT_EQ(CreateHandOffWindow(), hwnd) << "a second call must not make a second window";
}

TEST_F(HandOffTest, JobsPostedFromAWorkerRunInOrderOnTheUiThreadAndAreDestroyed) {
  JobLog log;
  std::thread worker([&] {
    EXPECT_TRUE(PostToUiThread(std::make_unique<RecordingJob>(&log, 1)));
    EXPECT_TRUE(PostToUiThread(std::make_unique<RecordingJob>(&log, 2)));
    EXPECT_TRUE(PostToUiThread(std::make_unique<RecordingJob>(&log, 3)));
  });
  worker.join();
  EXPECT_TRUE(log.runs.empty()) << "posted jobs run only when the UI thread dispatches";
  ASSERT_TRUE(PumpUntil([&] { return log.destroyed == 3; }));
  EXPECT_EQ(log.runs, (std::vector<int>{1, 2, 3}));
  for (DWORD id : log.threads)
    EXPECT_EQ(id, GetCurrentThreadId());
}

TEST_F(HandOffTest, AJobMessageFromAnotherProcessRunsNothing) {
  ScopedHandle helper = StartHelper(L"post ThreadSyn#Wnd");
  ASSERT_TRUE(helper);
  ASSERT_EQ(WaitForSingleObject(helper.get(), 30000), WAIT_OBJECT_0);
  DWORD code = 99;
  GetExitCodeProcess(helper.get(), &code);
  ASSERT_EQ(code, 0u) << "the helper found and posted to the hand-off window";
  // Queued behind the made-up pointer, so that one has been handled once this one ran.
  JobLog log;
  ASSERT_TRUE(PostToUiThread(std::make_unique<RecordingJob>(&log, 1)));
  ASSERT_TRUE(PumpUntil([&] { return log.destroyed == 1; }));
  EXPECT_EQ(log.runs, (std::vector<int>{1}));
}

TEST_F(HandOffTest, JobsQueuedWhenTheWindowGoesAwayAreDestroyedWithoutRunning) {
  JobLog log;
  ASSERT_TRUE(PostToUiThread(std::make_unique<RecordingJob>(&log, 1)));
  DestroyHandOffWindow();
  EXPECT_EQ(log.destroyed, 1);
  PumpUntil([] { return false; }, 50);
  EXPECT_TRUE(log.runs.empty());
}

TEST_F(HandOffTest, SentJobBlocksTheSenderUntilItHasRun) {
  std::atomic<bool> senderReturned{false};
  bool returnedBeforeRun = true;
  DWORD runThread = 0;
  std::atomic<bool> sendResult{false};
  auto check = [&](bool& seenReturned, DWORD& thread) {
    seenReturned = senderReturned;
    thread = GetCurrentThreadId();
    Sleep(50);  // give a sender that did not wait the chance to get ahead
  };
  std::thread worker([&] {
    sendResult = SendToUiThread(MakeSendJob(check, returnedBeforeRun, runThread));
    senderReturned = true;
  });
  ASSERT_TRUE(PumpUntil([&] { return senderReturned.load(); }));
  worker.join();
  EXPECT_TRUE(sendResult);
  EXPECT_FALSE(returnedBeforeRun);
  EXPECT_EQ(runThread, GetCurrentThreadId());
}

TEST_F(HandOffTest, SentJobWritesThroughReferencesToTheSendersValues) {
  int total = 5;
  std::wstring text = L"before";
  std::thread worker([&] {
    SendToUiThread(MakeSendJob(
        [](int& t, std::wstring& s) {
          t += 7;
          s = L"after";
        },
        total, text));
  });
  bool done = false;
  std::thread waiter([&] {
    worker.join();
    done = true;
  });
  ASSERT_TRUE(PumpUntil([&] { return done; }));
  waiter.join();
  EXPECT_EQ(total, 12);
  EXPECT_EQ(text, L"after");
}

TEST_F(HandOffTest, JobPostedFromTheUiThreadRunsAfterTheCurrentMessage) {
  JobLog log;
  PostToUiThread(std::make_unique<RecordingJob>(&log, 7));
  EXPECT_TRUE(log.runs.empty());
  ASSERT_TRUE(PumpUntil([&] { return log.destroyed == 1; }));
  EXPECT_EQ(log.runs, std::vector<int>{7});
}

TEST_F(HandOffTest, KeptJobIsNotDestroyedAfterRunning) {
  JobLog log;
  RecordingJob* job = new RecordingJob(&log, 1);
  job->keep = true;
  PostToUiThread(std::unique_ptr<ThreadTask>(job));
  ASSERT_TRUE(PumpUntil([&] { return log.runs.size() == 1; }));
  EXPECT_EQ(log.destroyed, 0);
  delete job;
  EXPECT_EQ(log.destroyed, 1);
}

TEST_F(HandOffTest, RunJobMessageOnAWindowWithoutThePropertyRunsNothing) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = HandOffWndProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"QuelmTestNoObj";
  RegisterClassExW(&wc);
  HWND bare = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              wc.hInstance, nullptr);
  ASSERT_NE(bare, nullptr);
  JobLog log;
  RecordingJob job(&log, 1);
  EXPECT_EQ(SendMessageW(bare, kRunJobMessage, 0, reinterpret_cast<LPARAM>(&job)), 0);
  EXPECT_TRUE(log.runs.empty());
  EXPECT_EQ(log.destroyed, 0);
  DestroyWindow(bare);
}

TEST(HandOffWithoutWindow, JobsAreNeitherPostedNorSentNorRun) {
  ASSERT_EQ(HandOffWindow(), nullptr);
  JobLog log;
  EXPECT_FALSE(PostToUiThread(std::make_unique<RecordingJob>(&log, 1)));
  EXPECT_FALSE(SendToUiThread(std::make_unique<RecordingJob>(&log, 2)));
  EXPECT_TRUE(log.runs.empty());
  EXPECT_EQ(log.destroyed, 2) << "jobs that cannot be handed over are released, not leaked";
}

}  // namespace
