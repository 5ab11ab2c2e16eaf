#include <gtest/gtest.h>

#include "sys/Files.h"
#include "sys/StringFormat.h"
#include "tasks/IQuelmTask.h"
#include "tasks/TaskManager.h"
#include "tasks/TaskStore.h"
#include "tests/support/TempDir.h"
#include "tests/support/XmlMutator.h"
#include "xml/XmlDocument.h"

namespace {

const wchar_t kTaskFile[] =
    L"<cfg>\r\n<item>\r\n<guid>8C3E4A51-0D2B-4F6A-9e1c-5A7B3C2D1E0F</guid>\r\n<modul>0</modul>\r\n"
    L"<tag>5</tag>\r\n<date>2024/05/01 23:00:00</date>\r\n<path></path>\r\n"
    L"<name>\x63D0\x9192 &amp; &lt;b&gt;</name>\r\n<param1>\x559D\x6C34</param1>\r\n"
    L"<param2></param2>\r\n<pause>0</pause>\r\n</item>\r\n<item>\r\n<guid>G2</guid>\r\n"
    L"<modul>3</modul>\r\n<tag>15</tag>\r\n<date>2024/5/1 0:1:0</date>\r\n"
    L"<param1>https://a.example/|https://b.example/</param1>\r\n<pause>1</pause>\r\n</item>\r\n"
    L"</cfg>\r\n";

// How many tasks a file holds by the document's own reading; -1 when it is unreadable.
int ExpectedTasks(const std::wstring& path) {
  XmlDocument doc;
  if (!doc.LoadFile(path) || !doc.Parse() || !doc.FindElement(L"cfg"))
    return -1;
  doc.EnterElement();
  int items = 0;
  while (doc.FindElement(L"item"))
    ++items;
  return items;
}

// Damaged task files never crash the loader; each either yields the tasks the document holds
// or an empty list with the file kept aside byte for byte.
TEST(TaskStoreBadInput, DamagedFilesLoadWhatTheyHoldOrAreKeptAside) {
  XmlMutator m(20241208);
  const std::string seed = WideToUtf8(kTaskFile);
  int readable = 0, kept = 0;
  TempDir dir;
  for (int round = 0; round < 1000; ++round) {
    std::string bytes = round % 3 == 0 ? m.MutateBytes(seed) : WideToUtf8(m.Mutate(kTaskFile));
    std::wstring path = dir.WriteFile(L"task.xml", bytes);
    int expected = ExpectedTasks(path);

    TaskStore store(path);
    TaskManager manager(nullptr);
    store.Load(manager);
    std::vector<IQuelmTask*> loaded = manager.TakeSnapshot();
    for (IQuelmTask* task : loaded) {
      EXPECT_EQ(task->guid.empty(), false) << "round " << round;
      task->Release();
    }
    if (expected < 0) {
      ++kept;
      EXPECT_TRUE(loaded.empty()) << "round " << round;
      EXPECT_EQ(ReadFileBytes(path + L".bad"), bytes) << "round " << round;
    } else {
      ++readable;
      EXPECT_EQ(static_cast<int>(loaded.size()), expected) << "round " << round;
      EXPECT_FALSE(PathExists(path + L".bad")) << "round " << round;
    }
    DeleteFileIfExists(path + L".bad");
    if (HasFailure())
      break;
  }
  EXPECT_GT(readable, 50);
  EXPECT_GT(kept, 100);
}

}  // namespace
