#include <gtest/gtest.h>

#include "tests/uicontrols/ControlTestHost.h"
#include "ui/controls/UIListControls.h"
#include "ui/controls/UIScrollBar.h"
#include "ui/controls/UIScrollVertView.h"

namespace {

const char kList[] =
    "<UIWnd pos=\"0,0,400,400\" back=\"clr:clr=#ffffffff\">"
    "<UIScrollVertView id=\"list\" pos=\"10,10,200,312\"/>"
    "</UIWnd>";

void AddRows(UIScrollVertView* view, int count, int height) {
  for (int i = 0; i < count; ++i) {
    auto* row = new UIControl;
    row->SetPos(0, 0, 10, height);
    view->AddRow(row);
  }
  view->Relayout();
}

struct ListHost {
  TestSkin skin;
  std::unique_ptr<ControlTestHost> host;
  UIScrollVertView* view = nullptr;

  explicit ListHost(const char* layout = kList) {
    RegisterListControls();
    host.reset(new ControlTestHost(skin, layout));
    view = host->FindAs<UIScrollVertView>(L"list");
  }
  void Wheel(int x, int y, int delta) {
    host->Send(WM_MOUSEWHEEL, x, y, MAKEWPARAM(0, delta));
  }
};

TEST(UIScrollVertViewTest, BarShowsOnlyWhenRowsDoNotFit) {
  struct Case {
    int rows, rowHeight;
    bool bar;
    int contentWidth;
  };
  for (const Case& c : {Case{10, 30, false, 198}, Case{20, 50, true, 199}}) {
    SCOPED_TRACE(c.rows * c.rowHeight);
    ListHost h;
    ASSERT_NE(h.view, nullptr);
    AddRows(h.view, c.rows, c.rowHeight);
    UIScrollBar* bar = h.view->scroll_bar();
    EXPECT_EQ(bar->IsVisible(), c.bar);
    EXPECT_EQ(h.view->content()->GetWidth(), c.contentWidth);
    EXPECT_EQ(h.view->Row(c.rows - 1)->GetWidth(), c.contentWidth);
    EXPECT_EQ(h.view->content()->GetHeight(), c.rows * c.rowHeight);
    if (c.bar) {
      EXPECT_EQ(bar->GetRect().left, 200 - 8 - 1);
      EXPECT_EQ(bar->GetWidth(), 8);
      EXPECT_EQ(bar->GetHeight(), 312);
      // The pill thumb paints over the white rows at the bar's top.
      EXPECT_NE(h.host->Pixel(10 + 195, 10 + 20), 0xFFFFFFFFu);
    }
  }
}

TEST(UIScrollVertViewTest, RemovingRowsUntilTheyFitHidesBarAndResetsPosition) {
  ListHost h;
  AddRows(h.view, 20, 50);
  h.view->SetPosition(10000);
  EXPECT_EQ(h.view->GetPosition(), 1000 - 310);
  EXPECT_EQ(h.view->content()->GetRect().top, -(1000 - 310));
  while (h.view->RowCount() > 6)
    h.view->RemoveRow(h.view->Row(0));
  EXPECT_EQ(h.view->GetPosition(), 0);
  EXPECT_FALSE(h.view->scroll_bar()->IsVisible());
  EXPECT_EQ(h.view->content()->GetRect().top, 0);
}

TEST(UIScrollVertViewTest, WheelScrollsUntilTheEndThenMovesTheParent) {
  ListHost h;
  auto* inner = new UIScrollVertView;
  inner->SetPos(0, 0, 10, 150);
  h.view->AddRow(inner);
  AddRows(h.view, 10, 60);
  AddRows(inner, 10, 30);  // 300 in a 148-pixel page: at most 152
  const int x = 50, y = 50;  // over the inner list
  std::vector<int> innerSeen, outerSeen;
  for (int i = 0; i < 7; ++i) {
    h.Wheel(x, y, -120);
    innerSeen.push_back(inner->GetPosition());
    outerSeen.push_back(h.view->GetPosition());
  }
  EXPECT_EQ(innerSeen, (std::vector<int>{30, 60, 90, 120, 150, 152, 152}));
  EXPECT_EQ(outerSeen, (std::vector<int>{0, 0, 0, 0, 0, 0, 30}));
  h.Wheel(x, y, 120);  // the pointer is still over the inner list, now 30 pixels higher
  EXPECT_EQ(inner->GetPosition(), 122);
  EXPECT_EQ(h.view->GetPosition(), 30);
}

TEST(UIScrollVertViewTest, EnsureVisibleCentresRowsOutOfView) {
  ListHost h;
  AddRows(h.view, 20, 50);  // page 310, scroll range 0..690
  struct Case {
    int index;
    int before;
    int after;
  };
  const Case cases[] = {
      {0, 0, 0},        // at the very top: visible
      {2, 0, 0},        // on screen
      {12, 0, 445},     // 600 - 155
      {16, 445, 645},   // scrolled already: the row's own top counts, not its distance
      {19, 445, 690},   // clamped to the end
      {1, 445, 0},      // above: clamped to the start
      {20, 445, 445},   // no such row
      {-1, 445, 445},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    h.view->SetPosition(c.before);
    h.host->events.clear();
    h.view->EnsureVisible(c.index);
    EXPECT_EQ(h.view->GetPosition(), c.after);
    EXPECT_EQ(h.view->content()->GetRect().top, -c.after);
    EXPECT_EQ(h.host->events.size(), c.after != c.before ? 1u : 0u);
    if (!h.host->events.empty()) {
      EXPECT_EQ(h.host->events[0].name, "scollposchanged");
      EXPECT_EQ(h.host->events[0].param2, c.after);
    }
  }
}

TEST(UIScrollVertViewTest, DraggingTheThumbScrollsAndEndsTheTrack) {
  ListHost h;
  AddRows(h.view, 20, 50);
  const int barX = 10 + 195;
  h.host->Send(WM_MOUSEMOVE, barX, 30);
  h.host->Send(WM_LBUTTONDOWN, barX, 30, MK_LBUTTON);  // thumb 0..96, grabbed at 20
  h.host->Send(WM_MOUSEMOVE, barX, 130, MK_LBUTTON);
  EXPECT_EQ(h.view->GetPosition(), 100 * 1000 / 312);
  h.host->Send(WM_MOUSEMOVE, barX, 5000, MK_LBUTTON);
  EXPECT_EQ(h.view->GetPosition(), 690);
  h.host->Send(WM_MOUSEMOVE, barX, -50, MK_LBUTTON);
  EXPECT_EQ(h.view->GetPosition(), 0);
  h.host->Send(WM_MOUSEMOVE, barX, 130, MK_LBUTTON);
  h.host->events.clear();
  h.host->Send(WM_LBUTTONUP, barX, 130);
  EXPECT_EQ(h.host->EventNames(), (std::vector<std::string>{"scollposchanged", "scollendtrack"}));
  EXPECT_EQ(h.host->events.back().param2, 320);
  EXPECT_EQ(h.host->GetCaptureHandle(), 0u);
  EXPECT_EQ(h.view->content()->GetRect().top, -320);
}

TEST(UIScrollVertViewTest, HeaderStaysFixedAboveScrollingRows) {
  ListHost h(
      "<UIWnd pos=\"0,0,400,400\">"
      "<UIScrollVertView id=\"list\" pos=\"10,10,200,312\">"
      "<UIControl id=\"header\" pos=\"0,0,50,30\"/></UIScrollVertView>"
      "</UIWnd>");
  AddRows(h.view, 20, 50);
  UIControl* header = h.view->FindById(L"header");
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(h.view->GetChildren().front(), header);
  EXPECT_EQ(h.view->PageHeight(), 310 - 31);
  EXPECT_EQ(h.view->viewport()->GetRect().top, 31);
  h.view->SetPosition(200);
  h.view->Relayout();
  EXPECT_EQ(header->GetRect().top, 1);
  EXPECT_EQ(header->GetWidth(), 198);
  EXPECT_EQ(h.view->content()->GetRect().top, -200);
}

TEST(UIScrollVertViewTest, ScrollViewTurnsLayoutChildrenIntoRows) {
  ListHost h(
      "<UIWnd pos=\"0,0,400,400\">"
      "<UIScrollView id=\"list\" pos=\"10,10,200,100\">"
      "<UIControl id=\"a\" height=\"60\"/><UIControl id=\"b\" height=\"60\"/></UIScrollView>"
      "</UIWnd>");
  ASSERT_NE(h.view, nullptr);
  EXPECT_EQ(h.view->RowCount(), 2);
  EXPECT_EQ(h.view->Row(1)->GetId(), L"b");
  EXPECT_EQ(h.view->Row(1)->GetRect().top, 60);
  EXPECT_TRUE(h.view->scroll_bar()->IsVisible());
}

}  // namespace
