#include "tasks/IQuelmTask.h"

#include <algorithm>

#include "sys/Clock.h"
#include "sys/Files.h"
#include "sys/Folders.h"
#include "sys/Guid.h"
#include "sys/StringFormat.h"

namespace {

std::atomic<int32_t> g_liveTasks{0};

int SecondOfDay(const SYSTEMTIME& t) {
  return t.wHour * 3600 + t.wMinute * 60 + t.wSecond;
}

bool SameSecondOfDay(const SYSTEMTIME& a, const SYSTEMTIME& b) {
  return a.wHour == b.wHour && a.wMinute == b.wMinute && a.wSecond == b.wSecond;
}

bool SameDate(const SYSTEMTIME& a, const SYSTEMTIME& b) {
  return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay;
}

// "即将运行" in the last seconds, otherwise the time left as hours:minutes:seconds.
std::wstring TimeLeftText(uint64_t seconds) {
  if (seconds < 5)
    return L"即将运行";
  return WFormat(L"%02d:%02d:%02d", static_cast<int>(seconds / 3600),
                 static_cast<int>(seconds % 3600 / 60), static_cast<int>(seconds % 60));
}

uint64_t UpTimeSeconds() {
  return SystemClock().UpTimeMs() / 1000;
}

// The first piece that names no existing file or folder, as a message; empty when all exist.
std::wstring MissingPieceMessage(const std::vector<std::wstring>& pieces) {
  for (const std::wstring& piece : pieces) {
    if (!PathExists(piece))
      return WFormat(L"文件不存在：%ls", piece.c_str());
  }
  return std::wstring();
}

const wchar_t kDayNames[] = L"一二三四五六日";

// The chosen days of a weekly task, the working days when none is chosen.
uint8_t ChosenDays(uint8_t week) {
  uint8_t days = week & kAllDays;
  return days ? days : kWorkingDays;
}

}  // namespace

IQuelmTask::IQuelmTask() {
  ++g_liveTasks;
  Reset();
}

IQuelmTask::IQuelmTask(const IQuelmTask& other) {
  ++g_liveTasks;
  CopyFrom(other);
}

IQuelmTask::~IQuelmTask() {
  --g_liveTasks;
}

int32_t IQuelmTask::LiveCount() {
  return g_liveTasks;
}

IQuelmTask& IQuelmTask::operator=(const IQuelmTask& other) {
  CopyFrom(other);
  return *this;
}

void IQuelmTask::AddRef() {
  refCount.fetch_add(1, std::memory_order_relaxed);
}

void IQuelmTask::Release() {
  if (refCount.fetch_sub(1, std::memory_order_acq_rel) == 1)
    delete this;
}

void IQuelmTask::Reset() {
  startTick = MonotonicMs();
  ran = false;
  paused = false;
  mode = ScheduleMode::Daily;
  action = ActionKind::Shutdown;
  time = SystemClock().LocalTime();
  week = kWorkingDays;
  guid = NewGuidString();
}

void IQuelmTask::CopyFrom(const IQuelmTask& other) {
  if (&other == this)
    return;
  startTick = other.startTick.load();
  guid = other.guid;
  action = other.action;
  mode = other.mode;
  time = other.time;
  path = other.path;
  name = other.name;
  param1 = other.param1;
  param2 = other.param2;
  week = other.week;
  watch = other.watch;
  ran = other.ran.load();
  paused = other.paused.load();
}

uint64_t IQuelmTask::PeriodMs() const {
  return (static_cast<uint64_t>(time.wHour * 60 + time.wMinute) * 60 + time.wSecond) * 1000;
}

std::wstring IQuelmTask::ModeTitle() const {
  switch (mode) {
    case ScheduleMode::Daily:
      return L"每天";
    case ScheduleMode::AtDateTime:
      return L"定时";
    case ScheduleMode::Countdown:
      return L"倒计时";
    case ScheduleMode::Interval:
      return L"间隔重复";
    case ScheduleMode::AfterBoot:
      return L"开机后执行";
    case ScheduleMode::Weekly: {
      const uint8_t days = ChosenDays(week);
      if (days == kWorkingDays)
        return L"每周 工作日";
      if (days == kWeekendDays)
        return L"每周 周末";
      std::wstring title = L"每周 ";
      for (int day = 0; day < 7; ++day) {
        if (days & (1 << day))
          title += kDayNames[day];
      }
      return title;
    }
    case ScheduleMode::Watch:
      return L"程序结束后";
  }
  return L"未知";
}

std::wstring IQuelmTask::ActionVerb() const {
  switch (action) {
    case ActionKind::Shutdown:
    case ActionKind::Restart:
    case ActionKind::Sleep:
    case ActionKind::LogOff:
    case ActionKind::Lock:
      return L"执行";
    case ActionKind::Remind:
      return L"提醒";
    case ActionKind::MonitorOff:
    case ActionKind::CloseProgram:
      return L"关闭";
    case ActionKind::MonitorOn:
    case ActionKind::OpenFile:
    case ActionKind::OpenUrl:
      return L"打开";
    case ActionKind::RunProgram:
      return L"运行";
    case ActionKind::EmptyRecycleBin:
      return L"清空";
    case ActionKind::CleanTempJunk:
      return L"清理";
    case ActionKind::BackupFiles:
    case ActionKind::BackupDirectory:
      return L"备份";
  }
  return L"未知";
}

std::wstring IQuelmTask::TimeText() const {
  switch (mode) {
    case ScheduleMode::Daily:
    case ScheduleMode::Weekly:
    case ScheduleMode::AtDateTime:
      return WFormat(L"%02d:%02d:%02d", time.wHour, time.wMinute, time.wSecond);
    case ScheduleMode::Countdown:
    case ScheduleMode::Interval:
      return WFormat(L"%02d时%02d分%02d秒", time.wHour, time.wMinute, time.wSecond);
    case ScheduleMode::AfterBoot:
      return L"5分钟";
    case ScheduleMode::Watch:
      return WatchedName();
  }
  return L"未定义";
}

std::wstring IQuelmTask::ActionObjectText() const {
  switch (action) {
    case ActionKind::Shutdown:
      return L"关机";
    case ActionKind::Restart:
      return L"重启";
    case ActionKind::Sleep:
      return L"睡眠";
    case ActionKind::LogOff:
      return L"注销";
    case ActionKind::Lock:
      return L"锁定";
    case ActionKind::MonitorOff:
    case ActionKind::MonitorOn:
      return L"显示器";
    case ActionKind::EmptyRecycleBin:
      return L"回收站";
    case ActionKind::CleanTempJunk:
      return L"垃圾";
    case ActionKind::Remind:
    case ActionKind::RunProgram:
    case ActionKind::CloseProgram:
      return name;
    case ActionKind::OpenFile:
    case ActionKind::BackupFiles:
    case ActionKind::BackupDirectory:
    case ActionKind::OpenUrl:
      return param1;
  }
  return L"未知";
}

std::wstring IQuelmTask::StatusText() const {
  if (IsPostponed()) {
    const int minute = postponedMinute;
    return WFormat(L"推迟到 %02d:%02d", minute / 60, minute % 60);
  }
  // A watch task that ran switched itself off; it still says that it ran.
  if (mode == ScheduleMode::Watch && watchPhase == WatchPhase::Done)
    return L"已运行";
  if (paused)
    return L"已暂停";
  if (ran)
    return L"已运行";
  switch (mode) {
    case ScheduleMode::AtDateTime:
    case ScheduleMode::Daily: {
      SYSTEMTIME now = SystemClock().LocalTime();
      if (mode == ScheduleMode::AtDateTime) {
        int32_t taskDay = DayNumber(time.wYear, time.wMonth, time.wDay);
        int32_t today = DayNumber(now.wYear, now.wMonth, now.wDay);
        if (taskDay < today)
          return L"过期";
        if (taskDay > today)
          return WFormat(L"%d天后执行", taskDay - today);
      }
      int taskSecond = SecondOfDay(time);
      int nowSecond = SecondOfDay(now);
      if (nowSecond > taskSecond)
        return mode == ScheduleMode::Daily ? L"明天" : L"过期";
      return TimeLeftText(taskSecond - nowSecond);
    }
    case ScheduleMode::Countdown:
    case ScheduleMode::Interval: {
      uint64_t t = MonotonicMs();
      uint64_t start = startTick;
      uint64_t period = PeriodMs();
      if (t <= start || t - start >= period)
        return std::wstring();
      return TimeLeftText((period - (t - start)) / 1000);
    }
    case ScheduleMode::AfterBoot:
      return UpTimeSeconds() <= 300 ? L"正在运行" : L"过期";
    case ScheduleMode::Weekly: {
      SYSTEMTIME now = SystemClock().LocalTime();
      const int taskSecond = SecondOfDay(time);
      const int nowSecond = SecondOfDay(now);
      if (RunsOnDayOf(now) && nowSecond <= taskSecond)
        return TimeLeftText(taskSecond - nowSecond);
      const uint8_t days = ChosenDays(week);
      const int today = WeekdayOf(now);
      int ahead = 1;
      while (ahead < 7 && !(days & (1 << ((today + ahead) % 7))))
        ++ahead;
      return ahead == 1 ? std::wstring(L"明天") : WFormat(L"%d天后执行", ahead);
    }
    case ScheduleMode::Watch:
      switch (watchPhase.load()) {
        case WatchPhase::Waiting:
          return L"等待程序启动";
        case WatchPhase::Running:
          return L"等待程序结束";
        case WatchPhase::Ending:
          return L"即将运行";
        case WatchPhase::Done:
          return L"已运行";
      }
      break;
  }
  return std::wstring();
}

bool IQuelmTask::EvaluateDue(const ClockReading& now) {
  if (paused || ran)
    return false;
  switch (mode) {
    case ScheduleMode::Daily:
      return SameSecondOfDay(now.local, time);
    case ScheduleMode::AtDateTime:
      return SameSecondOfDay(now.local, time) && SameDate(now.local, time);
    case ScheduleMode::Countdown:
    case ScheduleMode::Interval: {
      uint64_t t = now.monotonicMs;
      uint64_t start = startTick;
      if (t > start && t - start > PeriodMs()) {
        startTick = t;
        return true;
      }
      return false;
    }
    case ScheduleMode::AfterBoot:
      return now.upTimeMs / 1000 < 300;
    case ScheduleMode::Weekly:
      return SameSecondOfDay(now.local, time) && RunsOnDayOf(now.local);
    case ScheduleMode::Watch: {
      const uint64_t gone = watchGoneMs;
      if (watchPhase != WatchPhase::Ending || now.monotonicMs < gone + kWatchQuietMs)
        return false;
      watchPhase = WatchPhase::Done;
      return true;
    }
  }
  return false;
}

bool IQuelmTask::RearmsEachDay() const {
  return mode == ScheduleMode::Daily || mode == ScheduleMode::Weekly;
}

bool IQuelmTask::PausesAfterRun() const {
  return mode == ScheduleMode::Countdown || mode == ScheduleMode::Watch;
}

bool IQuelmTask::NextDueAfter(const SYSTEMTIME& now, SYSTEMTIME* moment) const {
  if (paused)
    return false;
  auto atTaskTime = [this](SYSTEMTIME day) {
    day.wHour = time.wHour;
    day.wMinute = time.wMinute;
    day.wSecond = time.wSecond;
    day.wMilliseconds = 0;
    return day;
  };
  switch (mode) {
    case ScheduleMode::AtDateTime: {
      // A date the calendar does not have counts as long past.
      SYSTEMTIME at = atTaskTime(time);
      if (ran || SecondsBetween(now, at) <= 0)
        return false;
      *moment = at;
      return true;
    }
    case ScheduleMode::Daily:
    case ScheduleMode::Weekly:
      // Within a week every chosen day comes round; the eighth day is today's weekday again.
      for (int ahead = 0; ahead <= 7; ++ahead) {
        SYSTEMTIME at = atTaskTime(AddSeconds(now, ahead * 86400));
        if (mode == ScheduleMode::Weekly && !RunsOnDayOf(at))
          continue;
        if (SecondsBetween(now, at) > 0) {
          *moment = at;
          return true;
        }
      }
      return false;
    default:
      return false;
  }
}

bool IQuelmTask::RunsOnDayOf(const SYSTEMTIME& date) const {
  return (ChosenDays(week) & (1 << WeekdayOf(date))) != 0;
}

void IQuelmTask::Postpone(const ClockReading& now, uint64_t delayMs) {
  const SYSTEMTIME back = AddSeconds(now.local, static_cast<int64_t>(delayMs / 1000));
  postponedMinute = back.wHour * 60 + back.wMinute;
  // 0 means "none", so a clock that reads 0 still postpones.
  postponedUntil = std::max<uint64_t>(now.monotonicMs + delayMs, 1);
}

bool IQuelmTask::TakeDuePostponement(const ClockReading& now) {
  uint64_t until = postponedUntil;
  return until != 0 && now.monotonicMs >= until && postponedUntil.compare_exchange_strong(until, 0);
}

bool IQuelmTask::IsWatching() const {
  return mode == ScheduleMode::Watch && !paused && watchPhase != WatchPhase::Done;
}

void IQuelmTask::ObserveWatch(bool running, uint64_t nowMs) {
  const WatchPhase phase = watchPhase;
  if (phase == WatchPhase::Done)
    return;
  if (running) {
    // A program that comes back within the quiet time keeps the task waiting.
    watchPhase = WatchPhase::Running;
  } else if (phase == WatchPhase::Running) {
    watchGoneMs = nowMs;
    watchPhase = WatchPhase::Ending;
  }
}

std::wstring IQuelmTask::WatchedName() const {
  return FileNameOf(watch);
}

std::wstring IQuelmTask::Validate() const {
  switch (action) {
    case ActionKind::Remind:
      return param1.empty() ? L"请输入提醒内容" : L"";
    case ActionKind::RunProgram:
    case ActionKind::CloseProgram:
      return param1.empty() ? L"请先选择exe路径" : L"";
    case ActionKind::OpenFile: {
      std::vector<std::wstring> pieces = SplitList(param1);
      if (pieces.empty())
        return L"请先选择要打开的文件";
      return MissingPieceMessage(pieces);
    }
    case ActionKind::BackupFiles:
    case ActionKind::BackupDirectory: {
      std::vector<std::wstring> pieces = SplitList(param1);
      if (pieces.empty())
        return L"请先选择要备份的文件";
      std::wstring missing = MissingPieceMessage(pieces);
      if (!missing.empty())
        return missing;
      return PathExists(param2) ? L"" : L"备份的保存目录不存在";
    }
    case ActionKind::OpenUrl:
      return SplitList(param1).empty() ? L"网址不能为空" : L"";
    default:
      return std::wstring();
  }
}

int WeekdayOf(const SYSTEMTIME& date) {
  // 1 January 2024 was a Monday.
  const int32_t days = DayNumber(date.wYear, date.wMonth, date.wDay) - DayNumber(2024, 1, 1);
  return static_cast<int>((days % 7 + 7) % 7);
}

uint64_t MonotonicMs() {
  return SystemClock().MonotonicMs();
}

int32_t DayNumber(int year, int month, int day) {
  static const int kDaysBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  int32_t n = 365 * year + (year - 1) / 4 - (year - 1) / 100 + (year - 1) / 400 + day;
  if (month >= 1 && month <= 12)
    n += kDaysBefore[month - 1];
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  if (leap && month > 2)
    n += 1;
  return n;
}

std::vector<std::wstring> SplitList(const std::wstring& text, wchar_t separator) {
  std::vector<std::wstring> pieces;
  size_t begin = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == separator) {
      pieces.push_back(text.substr(begin, i - begin));
      begin = i + 1;
    }
  }
  if (begin < text.size())
    pieces.push_back(text.substr(begin));
  return pieces;
}
