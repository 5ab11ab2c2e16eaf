// The task list page of the shipped main layout in a host window, over the real task manager
// with its file in a scratch folder, the fake clock and the recording system actions.
#include "pages/PageList.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "pages/ListCtrlItem.h"
#include "pages/PageAdd.h"
#include "pages/TimeComBo.h"
#include "tasks/TaskManager.h"
#include "tasks/TaskStore.h"
#include "tests/pages/PagesTest.h"
#include "tests/support/FakeClock.h"
#include "tests/support/RecordingSystemActions.h"
#include "tests/support/TempDir.h"
#include "ui/controls/UIComboBox.h"
#include "ui/controls/UIMessageBox.h"
#include "ui/controls/UIScrollBar.h"
#include "ui/controls/UIScrollVertView.h"

namespace {

// What the delete confirmation showed, and the button the test answers it with (1 "取消",
// 2 "删除", -1 the close button). Posted into the box's own loop, so no test waits on it.
struct Confirmation {
  int answer = 0;
  int shown = 0;
  std::wstring text;
  std::vector<std::wstring> buttons;
} confirmation;

void AnswerConfirmation(UIMessageBox* box) {
  ++confirmation.shown;
  confirmation.text = box->text_label()->GetText();
  confirmation.buttons.clear();
  for (UIControl* button : box->button_controls())
    confirmation.buttons.push_back(button->GetText());
  UIControl* target = confirmation.answer > 0 ? box->button_controls()[confirmation.answer - 1]
                                              : box->close_button();
  RECT r = target->WindowRect();
  LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  PostMessageW(box->hwnd(), WM_MOUSEMOVE, 0, at);
  PostMessageW(box->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(box->hwnd(), WM_LBUTTONUP, 0, at);
  // Closes the box should the click miss; once it hit, the key finds no window.
  PostMessageW(box->hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
}

std::string Item(const char* guid,
                 int mode,
                 int action,
                 const char* date,
                 const char* name,
                 const char* param1,
                 int pause = 0) {
  return std::string("<item><guid>") + guid + "</guid><modul>" + std::to_string(mode) +
         "</modul><tag>" + std::to_string(action) + "</tag><date>" + date +
         "</date><path></path><name>" + name + "</name><param1>" + param1 +
         "</param1><param2></param2><pause>" + std::to_string(pause) + "</pause></item>";
}

class PageListTest : public PagesTest {
 protected:
  static constexpr int kRowHeight = 70;

  void SetUp() override {
    clock_.SetLocal(2026, 12, 8, 10, 0, 0);
    PagesTest::SetUp();
    UIMessageBox::SetShownHookForTesting(&AnswerConfirmation);
    confirmation = Confirmation();
  }
  void TearDown() override {
    host_.reset();
    manager_.reset();
    PagesTest::TearDown();
  }

  // Starts the manager on a task file holding `items`, then opens the window.
  void Open(const std::string& items = "") {
    if (!items.empty())
      dir_.WriteFile(L"task.xml",
                     "<?xml version=\"1.0\" encoding=\"utf-8\"?><cfg>" + items + "</cfg>");
    manager_ = std::make_unique<TaskManager>(&store_);
    manager_->Start();
    // Joined and started as the main window does it.
    host_ = std::make_unique<MainLayoutHost>();
    add_ = dynamic_cast<PageAdd*>(host_->GetRoot()->FindById(L"pageAdd"));
    page_ = dynamic_cast<PageList*>(host_->GetRoot()->FindById(L"pageList"));
    ASSERT_NE(add_, nullptr);
    ASSERT_NE(page_, nullptr);
    page_->SetAddPage(add_);
    add_->Start(manager_.get());
    page_->Start(manager_.get());
    ASSERT_NE(list(), nullptr);
  }

  IQuelmTask* Add(ScheduleMode mode, ActionKind action, int hour, int minute, int second) {
    IQuelmTask task;
    task.mode = mode;
    task.action = action;
    task.time.wHour = hour;
    task.time.wMinute = minute;
    task.time.wSecond = second;
    return manager_->AddTask(task, true);
  }

  UIScrollVertView* list() const { return page_->task_list(); }
  ListCtrlItem* Row(int index) const { return dynamic_cast<ListCtrlItem*>(list()->Row(index)); }
  static std::wstring Text(UIControl* row, const wchar_t* id) {
    UIControl* control = row->FindById(id);
    return control ? control->GetText() : L"<missing>";
  }

  // The tasks as a fresh manager reads them back from the file.
  std::vector<IQuelmTask> Stored() {
    TaskStore store(store_.path());
    TaskManager reader(&store);
    store.Load(reader);
    std::vector<IQuelmTask> tasks;
    for (IQuelmTask* task : reader.TakeSnapshot()) {
      tasks.push_back(*task);
      task->Release();
    }
    return tasks;
  }

  // Thirty daily tasks "t00".."t29" at 11:00:00, 11:01:00, ...
  static std::string ManyItems(int count) {
    std::string items;
    for (int i = 0; i < count; ++i) {
      char guid[8], date[24];
      std::snprintf(guid, sizeof(guid), "t%02d", i);
      std::snprintf(date, sizeof(date), "2026/12/09 11:%02d:00", i);
      items += Item(guid, 0, 4, date, "", "");
    }
    return items;
  }
  // The GUID and the time text of each task of ManyItems, in list order.
  using Listed = std::vector<std::pair<std::wstring, std::wstring>>;
  static Listed ManyListed(int count) {
    Listed listed;
    for (int i = 0; i < count; ++i) {
      wchar_t guid[8], time[16];
      std::swprintf(guid, 8, L"t%02d", i);
      std::swprintf(time, 16, L"11:%02d:00", i);
      listed.emplace_back(guid, time);
    }
    return listed;
  }

  // One turn of the wheel over the list, through the window.
  void Wheel(int delta) {
    RECT r = list()->ScreenRect();
    SendMessageW(host_->hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, delta),
                 MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
  }
  void ScrollTo(int position) { list()->SetPosition(position); }
  // Drags the scroll bar's thumb by `dy` pixels.
  void DragThumb(int dy) {
    UIScrollBar* bar = list()->scroll_bar();
    RECT t = bar->ThumbRect();
    RECT b = bar->WindowRect();
    int x = b.left + (t.left + t.right) / 2;
    int y = b.top + (t.top + t.bottom) / 2;
    SendMessageW(host_->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(host_->hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y + dy));
    SendMessageW(host_->hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(x, y + dy));
  }
  // Every row is bound to the task of `listed` that stands where it is, with that task's time;
  // every task that the page shows has a row.
  void ExpectRowsInView(const Listed& listed, const std::string& step) {
    RECT view = list()->viewport()->WindowRect();
    int top = list()->content()->WindowRect().top;
    EXPECT_EQ(list()->scroll_bar()->GetTotal(), kRowHeight * static_cast<int>(listed.size()))
        << step;
    EXPECT_LE(list()->RowCount(), list()->PageHeight() / kRowHeight + 2) << step;
    for (size_t i = 0; i < listed.size(); ++i) {
      int rowTop = top + kRowHeight * static_cast<int>(i);
      bool inView = rowTop < view.bottom && rowTop + kRowHeight > view.top;
      ListCtrlItem* row = page_->FindRowByGuid(listed[i].first);
      if (!row) {
        EXPECT_FALSE(inView) << step << ": no row for " << i;
        continue;
      }
      EXPECT_EQ(row->WindowRect().top, rowTop) << step << ": row " << i;
      EXPECT_EQ(row->task(), manager_->FindTask(listed[i].first)) << step << ": row " << i;
      EXPECT_EQ(Text(row, L"iditem_time"), listed[i].second) << step << ": row " << i;
    }
  }

  void MoveTo(POINT at) { SendMessageW(host_->hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y)); }
  void Click(UIControl* control) {
    ASSERT_NE(control, nullptr);
    host_->Click(control);
  }
  void ClickForm(const wchar_t* id) { Click(host_->GetRoot()->FindById(id)); }
  void Tick() {
    SendMessageW(host_->hwnd(), WM_TIMER,
                 UIControl::TimerId(page_->GetHandle(), PageList::kStatusTimer), 0);
  }

  FakeClock clock_;
  RecordingSystemActions system_;
  TempDir dir_;
  TaskStore store_{dir_.Child(L"task.xml")};
  std::unique_ptr<TaskManager> manager_;
  std::unique_ptr<MainLayoutHost> host_;
  PageAdd* add_ = nullptr;  // in the host's tree
  PageList* page_ = nullptr;
};

}  // namespace

TEST_F(PageListTest, StoredTasksShowTheirModeActionObjectAndStatus) {
  struct Case {
    const char* guid;
    int mode;
    int action;
    const char* name;
    const char* param1;
    std::vector<std::wstring> texts;  // time title, time, action title, action, status
  } cases[] = {
      {"a", 0, 0, "", "", {L"每天", L"11:30:00", L"执行", L"关机", L"01:30:00"}},
      {"b", 1, 5, "喝水", "该喝水了", {L"定时", L"11:30:00", L"提醒", L"喝水", L"1天后执行"}},
      {"c", 2, 6, "", "", {L"倒计时", L"11时30分00秒", L"关闭", L"显示器", L""}},
      {"d", 3, 10, "", "C:\\a|C:\\b", {L"间隔重复", L"11时30分00秒", L"打开", L"C:\\a|C:\\b", L""}},
      {"e", 4, 8, "记事本", "C:\\n.exe", {L"开机后执行", L"5分钟", L"运行", L"记事本", L"过期"}},
      {"f", 0, 9, "记事本", "C:\\n.exe", {L"每天", L"11:30:00", L"关闭", L"记事本", L"01:30:00"}},
      {"g", 0, 11, "", "", {L"每天", L"11:30:00", L"清空", L"回收站", L"01:30:00"}},
      {"h", 0, 12, "", "", {L"每天", L"11:30:00", L"清理", L"垃圾", L"01:30:00"}},
      {"i", 0, 14, "", "C:\\docs", {L"每天", L"11:30:00", L"备份", L"C:\\docs", L"01:30:00"}},
      {"j", 0, 15, "", "x.cn", {L"每天", L"11:30:00", L"打开", L"x.cn", L"01:30:00"}},
      {"k", 7, 99, "", "", {L"未知", L"未定义", L"未知", L"未知", L""}},
  };
  std::string items;
  for (const Case& c : cases)
    items += Item(c.guid, c.mode, c.action, "2026/12/09 11:30:00", c.name, c.param1);
  ASSERT_NO_FATAL_FAILURE(Open(items));
  ASSERT_EQ(page_->TaskCount(), static_cast<int>(std::size(cases)));
  for (size_t i = 0; i < std::size(cases); ++i) {
    // Rows exist only for what is in view.
    ScrollTo(static_cast<int>(i) * kRowHeight);
    ListCtrlItem* row = page_->FindRowByGuid(std::wstring(cases[i].guid, cases[i].guid + 1));
    ASSERT_NE(row, nullptr) << cases[i].guid;
    std::vector<std::wstring> texts;
    for (const wchar_t* id : {L"iditem_timetitle", L"iditem_time", L"iditem_actiontitle",
                              L"iditem_action", L"iditem_runtime"})
      texts.push_back(Text(row, id));
    EXPECT_EQ(texts, cases[i].texts) << cases[i].guid;
  }
}

TEST_F(PageListTest, SwitchingOffGreysTheRowAndSwitchingOnRestartsThePeriod) {
  ASSERT_NO_FATAL_FAILURE(Open());
  Add(ScheduleMode::Interval, ActionKind::Lock, 0, 10, 0);
  ListCtrlItem* row = Row(0);
  ASSERT_NE(row, nullptr);
  struct Step {
    bool paused;
    const wchar_t* status;  // one second after the switch
    const wchar_t* colour;
    const wchar_t* image;
  } steps[] = {
      {true, L"已暂停", L"#ff909090", L"img\\btn\\btn_switch1.png"},
      {false, L"00:09:59", L"#ff303030", L"img\\btn\\btn_switch2.png"},
  };
  for (const Step& step : steps) {
    clock_.AdvanceSeconds(30);
    Click(row->FindById(L"iditem_status"));
    clock_.AdvanceSeconds(1);
    Tick();
    EXPECT_EQ(Text(row, L"iditem_runtime"), step.status);
    for (const wchar_t* id : {L"iditem_timetitle", L"iditem_time", L"iditem_actiontitle",
                              L"iditem_action", L"iditem_runtime"})
      EXPECT_EQ(row->FindById(id)->GetAttribute(L"clr"), step.colour) << id;
    EXPECT_EQ(row->FindById(L"iditem_status")->GetAttribute(L"btn"), step.image);
    std::vector<IQuelmTask> stored = Stored();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].paused.load(), step.paused);
  }
}

TEST_F(PageListTest, OnlyTheSecondButtonOfTheConfirmationDeletes) {
  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_EQ(list()->RowCount(), 0);
  Add(ScheduleMode::Daily, ActionKind::Lock, 11, 0, 0);
  std::wstring second = Add(ScheduleMode::Daily, ActionKind::Sleep, 12, 0, 0)->guid;
  struct Case {
    int answer;
    size_t left;
  } cases[] = {{1, 2}, {-1, 2}, {2, 1}};
  for (const Case& c : cases) {
    confirmation.answer = c.answer;
    int shown = confirmation.shown;
    ASSERT_NE(Row(0), nullptr);
    Click(Row(0)->FindById(L"iditem_delete"));
    EXPECT_EQ(confirmation.shown, shown + 1) << c.answer;
    EXPECT_EQ(confirmation.text, L"确定要删除此项吗？");
    EXPECT_EQ(confirmation.buttons, (std::vector<std::wstring>{L"取消", L"删除"}));
    EXPECT_EQ(list()->RowCount(), static_cast<int>(c.left)) << c.answer;
    EXPECT_EQ(Stored().size(), c.left) << c.answer;
  }
  ASSERT_EQ(list()->RowCount(), 1);
  EXPECT_EQ(Row(0)->GetId(), second);
  EXPECT_EQ(manager_->FindTask(second), Row(0)->task());
}

TEST_F(PageListTest, TheTimerChangesAStatusLabelOnlyWhenItsTextDiffers) {
  ASSERT_NO_FATAL_FAILURE(Open());
  Add(ScheduleMode::Daily, ActionKind::Lock, 11, 0, 0);
  UIControl* status = Row(0)->status_label();
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(status->GetText(), L"01:00:00");
  host_->PaintNow();
  Tick();
  RECT dirty = host_->Dirty();
  EXPECT_TRUE(IsRectEmpty(&dirty));
  clock_.AdvanceSeconds(1);
  Tick();
  EXPECT_EQ(status->GetText(), L"00:59:59");
  dirty = host_->Dirty();
  RECT label = status->WindowRect();
  RECT both;
  UnionRect(&both, &dirty, &label);
  EXPECT_FALSE(IsRectEmpty(&dirty));
  EXPECT_TRUE(EqualRect(&both, &label)) << "only the label is repainted";
}

TEST_F(PageListTest, HoverSwapsTheStatusForThePlayButtonWhichRunsTheTaskAtOnce) {
  ASSERT_NO_FATAL_FAILURE(Open());
  Add(ScheduleMode::Daily, ActionKind::Lock, 11, 0, 0);
  ListCtrlItem* row = Row(0);
  RECT r = row->WindowRect();
  auto pixel = [&](int x, int y) {
    host_->PaintNow();
    return host_->BackBufferPixelForTesting(r.left + x, r.top + y);
  };
  EXPECT_EQ(pixel(3, 35), ListCtrlItem::kRestColour);
  EXPECT_NE(pixel(3, 2), ListCtrlItem::kRestColour) << "the background starts 5 pixels down";
  RECT time = row->FindById(L"iditem_time")->WindowRect();
  MoveTo({(time.left + time.right) / 2, (time.top + time.bottom) / 2});
  EXPECT_FALSE(row->status_label()->IsVisible());
  EXPECT_TRUE(row->play_button()->IsVisible());
  EXPECT_EQ(pixel(3, 35), ListCtrlItem::kActiveColour);

  Click(row->play_button());
  EXPECT_EQ(system_.CallNames().back(), L"LockWorkStation");
  EXPECT_FALSE(row->task()->ran);
  EXPECT_EQ(row->status_label()->GetText(), L"01:00:00");

  RECT header = host_->GetRoot()->FindById(L"header")->WindowRect();
  MoveTo({header.left + 20, header.top + 10});
  EXPECT_TRUE(row->status_label()->IsVisible());
  EXPECT_FALSE(row->play_button()->IsVisible());
  EXPECT_EQ(pixel(3, 35), ListCtrlItem::kRestColour);
}

TEST_F(PageListTest, EachPressOfAddGivesOneMoreRowInListOrder) {
  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_EQ(list()->RowCount(), 0);
  ClickForm(L"btnadd");
  ClickForm(L"btnadd");
  std::vector<IQuelmTask*> listed = manager_->TakeSnapshot();
  ASSERT_EQ(listed.size(), 2u);
  ASSERT_EQ(list()->RowCount(), 2);
  EXPECT_NE(listed[0]->guid, listed[1]->guid);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(Row(i)->GetId(), listed[i]->guid);
    EXPECT_EQ(Row(i)->task(), listed[i]);
    EXPECT_EQ(Text(Row(i), L"iditem_time"), L"10:00:00");
    listed[i]->Release();
  }
}

TEST_F(PageListTest, EditLoadsTheTaskIntoTheFormAndModifyUpdatesTheRowAndTheFile) {
  ASSERT_NO_FATAL_FAILURE(Open());
  Add(ScheduleMode::Daily, ActionKind::Lock, 11, 0, 0);
  IQuelmTask* edited = Add(ScheduleMode::Daily, ActionKind::Sleep, 11, 0, 0);
  Click(Row(1)->FindById(L"iditem_edit"));
  PageAdd* form = add_;
  EXPECT_TRUE(form->IsModifying());
  EXPECT_EQ(form->editTask.guid, edited->guid);
  EXPECT_EQ(static_cast<UIComboBox*>(host_->GetRoot()->FindById(L"cbAction"))->GetSelected(),
            static_cast<int>(ActionKind::Sleep));

  auto* time = static_cast<TimeComBo*>(host_->GetRoot()->FindById(L"idtime"));
  time->hours()->ChooseFromList(12);
  ClickForm(L"btnmodifyok");
  EXPECT_FALSE(form->IsModifying());
  EXPECT_EQ(Text(Row(1), L"iditem_time"), L"12:00:00");
  EXPECT_EQ(Text(Row(1), L"iditem_runtime"), L"02:00:00");
  EXPECT_EQ(Text(Row(0), L"iditem_time"), L"11:00:00");
  std::vector<IQuelmTask> stored = Stored();
  ASSERT_EQ(stored.size(), 2u);
  EXPECT_EQ(stored[1].guid, edited->guid);
  EXPECT_EQ(stored[1].time.wHour, 12);
  EXPECT_EQ(stored[1].action, ActionKind::Sleep);
}

TEST_F(PageListTest, DeletingTheTaskBeingEditedReturnsTheFormToAddMode) {
  struct Case {
    int deleted;
    bool stillModifying;
  } cases[] = {{1, true}, {0, false}};
  for (const Case& c : cases) {
    ASSERT_NO_FATAL_FAILURE(Open());
    Add(ScheduleMode::Daily, ActionKind::Lock, 11, 0, 0);
    Add(ScheduleMode::Daily, ActionKind::Sleep, 12, 0, 0);
    std::wstring editedGuid = Row(0)->GetId();
    Click(Row(0)->FindById(L"iditem_edit"));
    confirmation.answer = 2;
    Click(Row(c.deleted)->FindById(L"iditem_delete"));
    ASSERT_EQ(list()->RowCount(), 1);
    EXPECT_EQ(add_->IsModifying(), c.stillModifying) << c.deleted;
    EXPECT_EQ(add_->editTask.guid == editedGuid, c.stillModifying) << c.deleted;
    EXPECT_EQ(host_->GetRoot()->FindById(L"btnadd")->IsVisible(), !c.stillModifying);
    host_.reset();
    manager_.reset();
    DeleteFileW(dir_.Child(L"task.xml").c_str());
  }
}

TEST_F(PageListTest, ScrollingToTheEndAndBackBindsTheRowsInViewUnderAThumbForTheWholeList) {
  ASSERT_NO_FATAL_FAILURE(Open(ManyItems(30)));
  const Listed guids = ManyListed(30);
  UIScrollBar* bar = list()->scroll_bar();
  ExpectRowsInView(guids, "at the start");
  for (int turns = 0; turns < 100 && list()->GetPosition() < bar->MaxPosition(); ++turns)
    Wheel(-WHEEL_DELTA);
  EXPECT_EQ(list()->GetPosition(), 30 * kRowHeight - list()->PageHeight());
  ExpectRowsInView(guids, "wheeled to the end");
  DragThumb(-bar->GetHeight() / 2);
  EXPECT_GT(list()->GetPosition(), 0);
  EXPECT_LT(list()->GetPosition(), bar->MaxPosition());
  ExpectRowsInView(guids, "dragged half way back");
  for (int turns = 0; turns < 100 && list()->GetPosition() > 0; ++turns)
    Wheel(WHEEL_DELTA);
  ExpectRowsInView(guids, "wheeled back to the start");
  EXPECT_EQ(list()->GetPosition(), 0);

  // A row that went out of view and came back lost the hover it had.
  RECT first = page_->FindRowByGuid(L"t00")->WindowRect();
  MoveTo({first.left + 20, first.top + 35});
  ASSERT_TRUE(page_->FindRowByGuid(L"t00")->play_button()->IsVisible());
  ScrollTo(bar->MaxPosition());
  for (int i = 0; i < list()->RowCount(); ++i)
    EXPECT_FALSE(Row(i)->play_button()->IsVisible()) << Row(i)->GetId();
}

TEST_F(PageListTest, DeletingARowScrolledIntoViewMovesTheRowsBelowItUp) {
  struct Case {
    int position;  // -1: the end of the list
    int deleted;
  } cases[] = {{300, 6}, {-1, 29}, {-1, 25}};
  for (const Case& c : cases) {
    ASSERT_NO_FATAL_FAILURE(Open(ManyItems(30)));
    Listed guids = ManyListed(30);
    ScrollTo(c.position < 0 ? list()->scroll_bar()->MaxPosition() : c.position);
    ListCtrlItem* row = page_->FindRowByGuid(guids[c.deleted].first);
    ASSERT_NE(row, nullptr) << c.deleted;
    confirmation.answer = 2;
    Click(row->FindById(L"iditem_delete"));
    EXPECT_EQ(manager_->FindTask(guids[c.deleted].first), nullptr) << c.deleted;
    EXPECT_EQ(Stored().size(), 29u);
    guids.erase(guids.begin() + c.deleted);
    ExpectRowsInView(guids, "deleted " + std::to_string(c.deleted));
    host_.reset();
    manager_.reset();
    DeleteFileW(dir_.Child(L"task.xml").c_str());
  }
}

TEST_F(PageListTest, ATaskAddedWhileScrolledGetsItsRowWhenScrolledIntoView) {
  ASSERT_NO_FATAL_FAILURE(Open(ManyItems(30)));
  Listed guids = ManyListed(30);
  ScrollTo(10 * kRowHeight);
  IQuelmTask* added = Add(ScheduleMode::Daily, ActionKind::Lock, 11, 30, 0);
  EXPECT_EQ(list()->GetPosition(), 10 * kRowHeight) << "the view stays where it was";
  EXPECT_EQ(page_->FindRowByGuid(added->guid), nullptr);
  guids.emplace_back(added->guid, L"11:30:00");
  ExpectRowsInView(guids, "added below the view");
  ScrollTo(list()->scroll_bar()->MaxPosition());
  ExpectRowsInView(guids, "scrolled to it");
  ListCtrlItem* row = page_->FindRowByGuid(added->guid);
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(Text(row, L"iditem_actiontitle"), L"执行");
  EXPECT_EQ(Text(row, L"iditem_runtime"), L"01:30:00");
}
