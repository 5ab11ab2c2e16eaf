#include "tasks/TaskStore.h"

#include <gtest/gtest.h>

#include <random>

#include "sys/Files.h"
#include "sys/Handles.h"
#include "tasks/IQuelmTask.h"
#include "tasks/TaskManager.h"
#include "tests/support/FakeClock.h"
#include "tests/support/TempDir.h"

namespace {

// Loads `xml` (UTF-8 bytes) as a task file and returns copies of the tasks it lists.
std::vector<IQuelmTask> LoadText(const TempDir& dir, const std::string& xml) {
  TaskStore store(dir.WriteFile(L"task.xml", xml));
  TaskManager manager(nullptr);
  store.Load(manager);
  std::vector<IQuelmTask> copies;
  std::vector<IQuelmTask*> listed = manager.TakeSnapshot();
  for (IQuelmTask* task : listed) {
    copies.push_back(*task);
    task->Release();
  }
  return copies;
}

std::string Item(const std::string& children) {
  return "<item>" + children + "</item>";
}

TEST(TaskStore, WritesTheDocumentByteForByte) {
  FakeClock clock;
  clock.SetLocal(2024, 5, 1, 9, 30, 0);
  TempDir dir;
  IQuelmTask task;
  task.time.wHour = 23;
  task.time.wMinute = 0;
  task.time.wSecond = 0;
  TaskStore store(dir.Child(L"task.xml"));
  ASSERT_TRUE(store.Save({&task}));
  const std::string guid(task.guid.begin(), task.guid.end());
  EXPECT_EQ(ReadFileBytes(dir.Child(L"task.xml")),
            "<cfg>\r\n"
            "<item>\r\n"
            "<guid>" +
                guid +
                "</guid>\r\n"
                "<modul>0</modul>\r\n"
                "<tag>0</tag>\r\n"
                "<date>2024/05/01 23:00:00</date>\r\n"
                "<path></path>\r\n"
                "<name></name>\r\n"
                "<param1></param1>\r\n"
                "<param2></param2>\r\n"
                "<pause>0</pause>\r\n"
                "</item>\r\n"
                "</cfg>\r\n");
  EXPECT_FALSE(PathExists(dir.Child(L"task.xml.tmp")));
}

TEST(TaskStore, SavesEscapedUtf8AndLoadsItBack) {
  TempDir dir;
  IQuelmTask a;
  a.mode = ScheduleMode::Interval;
  a.action = ActionKind::Remind;
  a.time = MakeTime(2030, 12, 31, 1, 2, 3);
  a.name = L"提醒 <重要> & \"引号\"";
  a.param1 = L"第一行\r\n第二行 ]]> &amp;";
  a.param2 = L"😀";
  a.paused = true;
  a.path = L"ignored";
  IQuelmTask b;
  b.action = ActionKind::OpenUrl;
  b.param1 = L"https://a.example/?x=1&y=2|https://b.example/";
  TaskStore store(dir.Child(L"task.xml"));
  ASSERT_TRUE(store.Save({&a, &b}));
  std::string bytes = ReadFileBytes(dir.Child(L"task.xml"));
  EXPECT_NE(bytes.find("&lt;重要&gt; &amp;"), std::string::npos) << "UTF-8, escaped";
  EXPECT_EQ(bytes.find("ignored"), std::string::npos) << "the path is always written empty";

  std::vector<IQuelmTask> loaded = LoadText(dir, bytes);
  ASSERT_EQ(loaded.size(), 2u);
  EXPECT_EQ(loaded[0].guid, a.guid);
  EXPECT_EQ(loaded[0].mode, ScheduleMode::Interval);
  EXPECT_EQ(loaded[0].action, ActionKind::Remind);
  EXPECT_EQ(loaded[0].time.wYear, 2030);
  EXPECT_EQ(loaded[0].time.wSecond, 3);
  EXPECT_EQ(loaded[0].name, a.name);
  EXPECT_EQ(loaded[0].param1, a.param1);
  EXPECT_EQ(loaded[0].param2, a.param2);
  EXPECT_TRUE(loaded[0].paused);
  EXPECT_TRUE(loaded[0].path.empty());
  EXPECT_EQ(loaded[1].param1, b.param1);
  EXPECT_FALSE(loaded[1].paused);
}

TEST(TaskStore, WeeklyDaysAndTheWatchedProgramFollowThePauseOnlyForTheirModes) {
  FakeClock clock;
  TempDir dir;
  // Every mode but the watch: such a file is written as it was before watch tasks existed,
  // and only its weekly task has days.
  std::vector<IQuelmTask> others(6);
  std::vector<IQuelmTask*> list;
  for (int mode = 0; mode < 6; ++mode) {
    others[mode].mode = static_cast<ScheduleMode>(mode);
    others[mode].week = 0x15;
    others[mode].watch = L"C:\\a.exe";
    list.push_back(&others[mode]);
  }
  TaskStore store(dir.Child(L"task.xml"));
  ASSERT_TRUE(store.Save(list));
  const std::string before = ReadFileBytes(dir.Child(L"task.xml"));
  EXPECT_EQ(before.find("<week>"), before.rfind("<week>"));
  EXPECT_NE(before.find("<week>21</week>"), std::string::npos);
  EXPECT_EQ(before.find("watch"), std::string::npos);
  std::vector<IQuelmTask> loaded = LoadText(dir, before);
  std::vector<IQuelmTask*> again;
  for (IQuelmTask& task : loaded)
    again.push_back(&task);
  ASSERT_TRUE(store.Save(again));
  EXPECT_EQ(ReadFileBytes(dir.Child(L"task.xml")), before) << "byte for byte";

  IQuelmTask weekly;
  weekly.mode = ScheduleMode::Weekly;
  weekly.week = 0x15;
  weekly.watch = L"C:\\a.exe";
  IQuelmTask watch;
  watch.mode = ScheduleMode::Watch;
  watch.week = 0x15;
  watch.watch = L"D:\\下载\\a&b.exe";
  watch.paused = true;
  ASSERT_TRUE(store.Save({&weekly, &watch}));
  const std::string bytes = ReadFileBytes(dir.Child(L"task.xml"));
  EXPECT_NE(bytes.find("<modul>5</modul>"), std::string::npos);
  EXPECT_NE(bytes.find("<pause>0</pause>\r\n<week>21</week>\r\n</item>"), std::string::npos)
      << bytes;
  EXPECT_NE(bytes.find("<modul>6</modul>"), std::string::npos);
  EXPECT_NE(bytes.find("<pause>1</pause>\r\n<watch>D:\\下载\\a&amp;b.exe</watch>\r\n</item>"),
            std::string::npos)
      << bytes;
  loaded = LoadText(dir, bytes);
  ASSERT_EQ(loaded.size(), 2u);
  EXPECT_EQ(loaded[0].mode, ScheduleMode::Weekly);
  EXPECT_EQ(loaded[0].week, 0x15);
  EXPECT_EQ(loaded[0].watch, L"");
  EXPECT_EQ(loaded[1].mode, ScheduleMode::Watch);
  EXPECT_EQ(loaded[1].watch, watch.watch);
  EXPECT_TRUE(loaded[1].paused);

  // Without <week>, or with 0, a weekly task runs Monday to Friday.
  loaded = LoadText(dir, "<cfg>" + Item("<guid>A</guid><modul>5</modul>") +
                             Item("<guid>B</guid><modul>5</modul><week>0</week>") + "</cfg>");
  ASSERT_EQ(loaded.size(), 2u);
  EXPECT_EQ(loaded[0].week, kWorkingDays);
  EXPECT_EQ(loaded[1].week, kWorkingDays);
}

TEST(TaskStore, AFileHeldOpenAtStartIsNeverReplaced) {
  TempDir dir;
  const std::wstring path = dir.Child(L"task.xml");
  IQuelmTask stored;
  stored.name = L"stored";
  ASSERT_TRUE(TaskStore(path).Save({&stored}));
  const std::string original = ReadFileBytes(path);

  TaskStore store(path);
  TaskManager manager(&store);
  IQuelmTask added;
  added.name = L"added";
  {
    // A scanner holding the file without read sharing through start-up and the first save.
    ScopedHandle held(
        CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    manager.Start();
    manager.Stop();
    EXPECT_TRUE(manager.TakeSnapshot().empty());
    manager.AddTask(added, true);
  }
  EXPECT_EQ(ReadFileBytes(path), original);
  EXPECT_NE(ReadFileBytes(path + L".new").find("added"), std::string::npos)
      << "the change went to another name";

  IQuelmTask more;
  manager.AddTask(more, true);
  EXPECT_EQ(ReadFileBytes(path + L".bad"), original) << "kept aside once it could be read";
  EXPECT_NE(ReadFileBytes(path).find("added"), std::string::npos);
  for (IQuelmTask* task : manager.TakeSnapshot())
    task->Release();
}

TEST(TaskStore, LoadReadsEachElementByItsRules) {
  FakeClock clock;
  clock.SetLocal(2024, 6, 2, 8, 9, 10);
  TempDir dir;
  std::vector<IQuelmTask> loaded = LoadText(
      dir, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<cfg>" +
               Item("<guid>G1</guid><modul> +3x</modul><tag>-2</tag>"
                    "<date>2024/5/1 7:3:9</date><path>C:\\x</path><pause>1</pause>") +
               Item("<guid>G2</guid><date>2024/05/01</date><pause>true</pause>") +
               Item("<guid>G3</guid><date>2024/5 7:3:9</date><pause> 1 </pause>"
                    "<name>first</name><name>second</name><other>o</other>") +
               Item("<guid>G4</guid><date>a/b/c 1:2</date><modul>99</modul><tag>16</tag>") +
               Item("<name>no guid</name>") + Item("") + "<junk/></cfg>");
  ASSERT_EQ(loaded.size(), 6u);
  EXPECT_EQ(loaded[0].mode, ScheduleMode::Interval);
  EXPECT_EQ(static_cast<int>(loaded[0].action), -2);
  EXPECT_EQ(loaded[0].time.wYear, 2024);
  EXPECT_EQ(loaded[0].time.wMonth, 5);
  EXPECT_EQ(loaded[0].time.wDay, 1);
  EXPECT_EQ(loaded[0].time.wHour, 7);
  EXPECT_EQ(loaded[0].time.wMinute, 3);
  EXPECT_EQ(loaded[0].time.wSecond, 9);
  EXPECT_TRUE(loaded[0].path.empty());
  EXPECT_TRUE(loaded[0].paused);

  EXPECT_EQ(loaded[1].mode, ScheduleMode::Daily) << "a missing modul reads as 0";
  EXPECT_EQ(loaded[1].time.wDay, 2) << "a date without its time leaves the load time";
  EXPECT_EQ(loaded[1].time.wHour, 8);
  EXPECT_FALSE(loaded[1].paused);

  EXPECT_EQ(loaded[2].time.wMonth, 6) << "a date half with two pieces is skipped";
  EXPECT_EQ(loaded[2].time.wHour, 7) << "while the time half is taken";
  EXPECT_FALSE(loaded[2].paused);
  EXPECT_EQ(loaded[2].name, L"second") << "the later duplicate wins";

  EXPECT_EQ(loaded[3].time.wYear, 0) << "letters read as 0, unchecked";
  EXPECT_EQ(loaded[3].time.wHour, 8);
  EXPECT_EQ(static_cast<int>(loaded[3].mode), 99);
  EXPECT_EQ(loaded[3].StatusText(), L"");
  EXPECT_EQ(loaded[3].ActionObjectText(), L"未知");

  EXPECT_EQ(loaded[4].guid.size(), 36u) << "an item without guid gets a fresh one";
  EXPECT_EQ(loaded[4].name, L"no guid");
  EXPECT_EQ(loaded[5].guid.size(), 36u);
  EXPECT_NE(loaded[5].guid, loaded[4].guid) << "each its own";
}

TEST(TaskStore, LoadGivesRepeatedGuidsFreshOnesAndSavesThem) {
  TempDir dir;
  std::vector<IQuelmTask> loaded =
      LoadText(dir, "<cfg>" + Item("<guid>SAME</guid><name>a</name>") +
                        Item("<guid>SAME</guid><name>b</name>") + Item("<guid>OTHER</guid>") +
                        Item("<guid>SAME</guid><name>c</name>") + "</cfg>");
  ASSERT_EQ(loaded.size(), 4u);
  EXPECT_EQ(loaded[0].guid, L"SAME") << "the first keeps its identity";
  EXPECT_EQ(loaded[2].guid, L"OTHER");
  EXPECT_NE(loaded[1].guid, L"SAME");
  EXPECT_NE(loaded[3].guid, L"SAME");
  EXPECT_NE(loaded[1].guid, loaded[3].guid);
  EXPECT_EQ(loaded[1].name, L"b");
}

TEST(TaskStore, MissingOrEmptyFilesLoadNothingAndKeepNothing) {
  TempDir dir;
  TaskStore store(dir.Child(L"task.xml"));
  TaskManager manager(nullptr);
  store.Load(manager);
  EXPECT_TRUE(manager.TakeSnapshot().empty());
  EXPECT_TRUE(LoadText(dir, "<cfg></cfg>").empty());
  EXPECT_FALSE(PathExists(dir.Child(L"task.xml.bad")));
}

TEST(TaskStore, AnUnreadableFileIsKeptAsideBeforeTheNextSave) {
  TempDir dir;
  const std::string broken[] = {"<cfg><item><guid>x</guid></item>",  // cut short
                                "\xff\xfe<\x00",                     // not a document
                                "<other><item/></other>",            // no task list
                                ""};
  std::wstring kept[] = {dir.Child(L"task.xml.bad"), dir.Child(L"task.xml.bad2"),
                         dir.Child(L"task.xml.bad3"), dir.Child(L"task.xml.bad4")};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_TRUE(LoadText(dir, broken[i]).empty());
    ASSERT_TRUE(PathExists(kept[i])) << i;
    EXPECT_EQ(ReadFileBytes(kept[i]), broken[i]) << "never overwrites an earlier kept copy";
    TaskStore store(dir.Child(L"task.xml"));
    IQuelmTask task;
    ASSERT_TRUE(store.Save({&task}));
  }
  LoadText(dir, broken[0]);
  EXPECT_FALSE(PathExists(dir.Child(L"task.xml.bad5"))) << "the same bytes are kept once";
}

TEST(TaskStore, AFailedWriteLeavesThePreviousFileUntouched) {
  TempDir dir;
  TaskStore store(dir.Child(L"task.xml"));
  IQuelmTask first;
  ASSERT_TRUE(store.Save({&first}));
  std::string before = ReadFileBytes(dir.Child(L"task.xml"));
  // A folder where the temporary file should go makes the write fail.
  ASSERT_TRUE(CreateFolder(dir.Child(L"task.xml.tmp")));
  IQuelmTask second;
  EXPECT_FALSE(store.Save({&first, &second}));
  EXPECT_EQ(ReadFileBytes(dir.Child(L"task.xml")), before);
}

TEST(TaskStore, ParseTaskDateTakesOnlyWellShapedHalves) {
  SYSTEMTIME t = MakeTime(2000, 1, 2, 3, 4, 5);
  ParseTaskDate(L"2024/05/01 23:00:00", t);
  EXPECT_EQ(t.wYear, 2024);
  EXPECT_EQ(t.wHour, 23);
  SYSTEMTIME u = MakeTime(2000, 1, 2, 3, 4, 5);
  ParseTaskDate(L"2024/05/01  23:00:00", u);  // three pieces: untouched
  EXPECT_EQ(u.wYear, 2000);
  EXPECT_EQ(u.wHour, 3);
  ParseTaskDate(L"2024/05/01 ", u);  // the trailing blank gives no second piece
  EXPECT_EQ(u.wYear, 2000);
}

}  // namespace
