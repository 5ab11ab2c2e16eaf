#include "ui/core/UIControl.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>

#include "sys/StringFormat.h"
#include "tests/uicore/UITestSkin.h"
#include "ui/core/UIBuilder.h"
#include "ui/core/UILayout.h"
#include "ui/core/UIStyleTable.h"
#include "ui/core/UIValueParse.h"

namespace {

// Owns a built root (built without a parent, so the caller holds the reference).
using Tree = UIRef<UIControl>;

Tree Build(const std::wstring& layout) {
  UIBuilder builder;
  return Tree::Adopt(builder.BuildFromText(nullptr, layout));
}

RECT RectOf(const UIControl* c) {
  return c->GetRect();
}

class UIControlTest : public testing::Test {
 protected:
  void TearDown() override {
    ClearStyleTable();
    SetControlCreatedHook(nullptr);
  }
};

// A child whose every resize re-arranges its parent, as a control that grows its container
// would.
class ReentrantChild : public UIControl {
 public:
  void OnMessage(UIMessage& m) override {
    if (m.message == WM_SIZE && GetParent()) {
      ++arranges;
      GetParent()->Relayout();
    }
    UIControl::OnMessage(m);
  }
  static int arranges;
};
int ReentrantChild::arranges = 0;

// Counts the arrangings that had children to arrange.
class CountingRow : public UIControl {
 public:
  void Relayout() override {
    if (!GetChildren().empty())
      ++arranged;
    UIControl::Relayout();
  }
  int arranged = 0;
};

// A layout whose own arranging places nothing.
class LazyColumn : public UIControl {
 public:
  void Relayout() override {}
};

}  // namespace

TEST_F(UIControlTest, AttributesApplyInDocumentOrderAndStoreRawValues) {
  LoadStyleTable(R"({"box": {"pos": "1,2,30,40", "visible": false, "tips": "from style"}})");
  struct Case {
    const wchar_t* layout;
    RECT rect;
    bool visible;
    const wchar_t* tips;
  } cases[] = {
      {L"<UIWnd width='50' pos='5,6,7,8'/>", {5, 6, 12, 14}, true, L""},
      {L"<UIWnd pos='5,6,7,8' width='50'/>", {5, 6, 55, 14}, true, L""},
      {L"<UIWnd css='box'/>", {1, 2, 31, 42}, false, L"from style"},
      {L"<UIWnd css='box' visible='1' tips='own'/>", {1, 2, 31, 42}, true, L"own"},
      {L"<UIWnd pos='1,2,3'/>", {0, 0, 0, 0}, true, L""},
      {L"<UIWnd visible='True'/>", {0, 0, 0, 0}, false, L""},
      {L"<UIWnd visible='yes' css='nosuchstyle'/>", {0, 0, 0, 0}, true, L""},
  };
  for (const Case& c : cases) {
    Tree t = Build(c.layout);
    ASSERT_TRUE(t) << c.layout;
    EXPECT_TRUE(EqualRect(&t->GetRect(), &c.rect)) << c.layout;
    EXPECT_EQ(t->IsVisible(), c.visible) << c.layout;
    EXPECT_EQ(t->GetTips(), c.tips) << c.layout;
  }
  Tree t = Build(L"<UIWnd whatever='x y' padding='1,2' txt='定时'/>");
  EXPECT_EQ(t->GetAttribute(L"whatever"), L"x y");
  EXPECT_EQ(t->GetAttribute(L"never"), L"");
  EXPECT_EQ(t->GetText(), L"定时");
  RECT padding = t->GetPadding();
  RECT expected = {1, 2, 0, 0};
  EXPECT_TRUE(EqualRect(&padding, &expected));
}

TEST_F(UIControlTest, StyleTableReadsStringsAndBooleansAndRejectsBadJson) {
  LoadStyleTable(R"({"a": {"txt": "定", "visible": true, "n": 5, "o": {}}, "b": 3})");
  const UIStyle* a = FindStyle(L"a");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->at(L"txt"), L"定");
  EXPECT_EQ(a->at(L"visible"), L"true");
  EXPECT_EQ(a->at(L"n"), L"");
  EXPECT_EQ(a->at(L"o"), L"");
  for (const char* bad : {"{\"a\": {", "[1, 2]", "", std::string(5000, '[').c_str()}) {
    LoadStyleTable(bad);
    EXPECT_EQ(FindStyle(L"a"), nullptr) << bad;
  }
}

TEST_F(UIControlTest, SelfNamingStylesEndInsteadOfRecursing) {
  LoadStyleTable(R"({"loop": {"css": "loop", "tips": "t"}, "ping": {"css": "pong"},
                     "pong": {"css": "ping", "id": "p"}})");
  Tree loop = Build(L"<UIWnd css='loop'/>");
  EXPECT_EQ(loop->GetTips(), L"t");
  Tree ping = Build(L"<UIWnd css='ping'/>");
  EXPECT_EQ(ping->GetId(), L"p");
}

TEST_F(UIControlTest, BuilderSkipsUnknownElementsAndFindsIdsInPreOrder) {
  Tree t = Build(
      L"<UIWnd id='root'>"
      L"  <Nonsense id='gone'><UIControl id='inner'/></Nonsense>"
      L"  <UIControl id='a'><UIWnd id='twin' txt='deep'/></UIControl>"
      L"  <UIWnd id='twin' txt='shallow'/>"
      L"</UIWnd>");
  ASSERT_TRUE(t);
  ASSERT_EQ(t->GetChildren().size(), 2u);
  EXPECT_EQ(t->FindById(L"gone"), nullptr);
  EXPECT_EQ(t->FindById(L"inner"), nullptr);
  EXPECT_STREQ(t->FindById(L"a")->GetClassName(), t->GetClassName());
  EXPECT_EQ(t->FindById(L"twin")->GetText(), L"deep");
  EXPECT_EQ(t->FindById(L"root"), t.get());
  EXPECT_EQ(Build(L"<Nonsense><UIWnd/></Nonsense>").get(), nullptr);
  EXPECT_EQ(Build(L"<UIWnd").get(), nullptr);
}

TEST_F(UIControlTest, FactoryRegistrationAndHookRunBeforeElementAttributes) {
  RegisterControlClass(L"Reentrant", [] { return static_cast<UIControl*>(new ReentrantChild); });
  SetControlCreatedHook([](UIControl* c) {
    c->SetAttribute(L"tips", L"hooked");
    c->SetAttribute(L"id", L"default");
  });
  Tree t = Build(L"<Reentrant id='mine'><UIWnd/></Reentrant>");
  ASSERT_TRUE(t);
  EXPECT_NE(dynamic_cast<ReentrantChild*>(t.get()), nullptr);
  EXPECT_EQ(t->GetTips(), L"hooked");
  EXPECT_EQ(t->GetId(), L"mine");
  EXPECT_EQ(t->GetChildren()[0]->GetId(), L"default");
}

TEST_F(UIControlTest, EveryLaidOutControlIsArrangedOnceWhileBuilt) {
  RegisterControlClass(L"CountingRow", [] { return static_cast<UIControl*>(new CountingRow); });
  RegisterControlClass(L"LazyColumn", [] { return static_cast<UIControl*>(new LazyColumn); });
  const wchar_t* row =
      L"<CountingRow id='%ls' height='20' layout='horz'%ls><UIWnd width='30'/><UIWnd adj='1'/>"
      L"</CountingRow>";
  auto Row = [&](const wchar_t* id, const wchar_t* extra) { return WFormat(row, id, extra); };
  Tree t = Build(L"<UIWnd pos='0,0,300,200' layout='vert'>" + Row(L"placed", L"") +
                 Row(L"hidden", L" visible='0'") + Row(L"float", L" float='1'") +
                 L"<UIWnd height='40' layout='vert'>" + Row(L"nested", L"") + L"</UIWnd>" +
                 L"<LazyColumn height='40' layout='vert'>" + Row(L"unreached", L"") +
                 L"</LazyColumn></UIWnd>");
  ASSERT_TRUE(t);
  for (const wchar_t* id : {L"placed", L"hidden", L"float", L"nested", L"unreached"}) {
    auto* r = dynamic_cast<CountingRow*>(t->FindById(id));
    ASSERT_NE(r, nullptr) << id;
    EXPECT_EQ(r->arranged, 1) << id;
    EXPECT_FALSE(r->IsRelayoutOwed()) << id;
    // The rows of the shown layouts are full width; the others keep their own width of 0.
    const RECT second = r->GetChildren()[1]->GetRect();
    EXPECT_EQ(second.left, 30) << id;
    EXPECT_EQ(second.right, std::wstring(id) == L"placed" || std::wstring(id) == L"nested"
                                ? 300
                                : 30)
        << id;
  }
}

TEST_F(UIControlTest, IncludesNestAndSelfIncludesEnd) {
  auto utf8 = [](const char* s) { return std::string(s); };
  UITestSkin skin({
      {L"xml\\part.xml", utf8("<UIWnd id='part' pos='0,0,10,10'><UIWnd id='inpart'/></UIWnd>")},
      {L"xml\\self.xml", utf8("<UIWnd id='level'><node file='xml\\self.xml'/></UIWnd>")},
      {L"xml\\rootself.xml", utf8("<node file='xml\\rootself.xml'/>")},
      {L"xml\\main.xml",
       utf8("<UIWnd><node file='xml\\part.xml' tips='over'><UIWnd id='added'/></node>"
            "<node file='xml\\missing.xml'/><UIWnd id='after'/></UIWnd>")},
  });
  UIBuilder builder;
  Tree main = Tree::Adopt(builder.BuildFromFile(nullptr, L"xml\\main.xml"));
  ASSERT_TRUE(main);
  ASSERT_EQ(main->GetChildren().size(), 2u);
  UIControl* part = main->FindById(L"part");
  ASSERT_NE(part, nullptr);
  EXPECT_EQ(part->GetTips(), L"over");
  EXPECT_EQ(part->GetChildren().size(), 2u);
  EXPECT_EQ(part->GetChildren()[1]->GetId(), L"added");

  Tree self = Tree::Adopt(builder.BuildFromFile(nullptr, L"xml\\self.xml"));
  ASSERT_TRUE(self);
  int depth = 0;
  for (UIControl* c = self.get(); !c->GetChildren().empty(); c = c->GetChildren()[0])
    ++depth;
  EXPECT_EQ(depth, UIBuilder::kMaxIncludeDepth - 1);
  EXPECT_EQ(builder.BuildFromFile(nullptr, L"xml\\rootself.xml"), nullptr);
  EXPECT_EQ(builder.BuildFromFile(nullptr, L"xml\\missing.xml"), nullptr);
}

TEST_F(UIControlTest, FlowLayoutsShareTheLeftoverAndKeepTheirRules) {
  struct Case {
    const char* what;
    const wchar_t* layout;
    std::vector<RECT> rects;  // of the children, in order
  } cases[] = {
      {"title row",
       L"<UIWnd pos='0,0,460,30' layout='horz'>"
       L"<UIWnd width='10'/><UIWnd width='24'/><UIWnd width='5'/>"
       L"<UIWnd width='120'/><UIWnd adj='1'/><UIWnd width='20' height='20'/>"
       L"<UIWnd width='10'/></UIWnd>",
       {{0, 0, 10, 0},
        {10, 0, 34, 0},
        {34, 0, 39, 0},
        {39, 0, 159, 0},
        {159, 0, 430, 30},
        {430, 0, 450, 20},
        {450, 0, 460, 0}}},
      {"two adj share 101",
       L"<UIWnd pos='0,0,101,10' layout='horz'>"
       L"<UIWnd adj='true'/><UIWnd adj='true'/></UIWnd>",
       {{0, 0, 50, 10}, {50, 0, 100, 10}}},
      {"padding moves the row",
       L"<UIWnd pos='0,0,100,40' layout='horz' padding='0,5,0,0'>"
       L"<UIWnd pos='7,7,20,20'/><UIWnd adj='1'/></UIWnd>",
       {{0, 5, 20, 25}, {20, 5, 100, 40}}},
      {"hidden and float take no space",
       L"<UIWnd pos='0,0,100,40' layout='horz'><UIWnd visible='false' pos='0,0,30,9'/>"
       L"<UIWnd float='1' pos='60,1,5,5'/><UIWnd pos='0,0,10,10'/></UIWnd>",
       {{0, 0, 30, 9}, {60, 1, 65, 6}, {0, 0, 10, 10}}},
      {"column stretches the width",
       L"<UIWnd pos='0,0,200,100' layout='vert'>"
       L"<UIWnd pos='0,0,60,26'/><UIWnd adj='1'/></UIWnd>",
       {{0, 0, 200, 26}, {0, 26, 200, 100}}},
      {"container fills inside padding",
       L"<UIWnd pos='0,0,50,50' container='1' padding='1,2,3,4'>"
       L"<UIWnd pos='9,9,1,1'/></UIWnd>",
       {{1, 2, 47, 46}}},
      {"overlay fills",
       L"<UIWnd pos='0,0,50,50' layout='hzvt'><UIWnd visible='0'/>"
       L"<UIWnd float='1' pos='3,3,3,3'/></UIWnd>",
       {{0, 0, 50, 50}, {3, 3, 6, 6}}},
      {"parent sizes",
       L"<UIWnd pos='0,0,80,60'><UIWnd pos='parent'/>"
       L"<UIWnd pos='1,1,5,5' width='parent'/></UIWnd>",
       {{0, 0, 80, 60}, {1, 1, 81, 6}}},
      {"unknown layout is absolute",
       L"<UIWnd pos='0,0,80,60' layout='grid'>"
       L"<UIWnd pos='3,4,5,6'/></UIWnd>",
       {{3, 4, 8, 10}}},
  };
  for (const Case& c : cases) {
    Tree t = Build(c.layout);
    ASSERT_TRUE(t) << c.what;
    ASSERT_EQ(t->GetChildren().size(), c.rects.size()) << c.what;
    for (size_t i = 0; i < c.rects.size(); ++i) {
      RECT r = RectOf(t->GetChildren()[i]);
      EXPECT_TRUE(EqualRect(&r, &c.rects[i])) << c.what << " child " << i << ": " << r.left << ","
                                              << r.top << "," << r.right << "," << r.bottom;
    }
  }
}

TEST_F(UIControlTest, ReentrantArrangementReturnsAtOnce) {
  RegisterControlClass(L"Reentrant", [] { return static_cast<UIControl*>(new ReentrantChild); });
  ReentrantChild::arranges = 0;
  Tree t = Build(
      L"<UIWnd pos='0,0,100,10' layout='horz'><Reentrant adj='1'/>"
      L"<Reentrant adj='1'/></UIWnd>");
  ASSERT_TRUE(t);
  EXPECT_LT(ReentrantChild::arranges, 10);
  RECT second = RectOf(t->GetChildren()[1]);
  RECT expected = {50, 0, 100, 10};
  EXPECT_TRUE(EqualRect(&second, &expected));
}

TEST_F(UIControlTest, PointSearchPassesThroughControlsThatAreNotHitTestable) {
  Tree t = Build(
      L"<UIWnd pos='0,0,100,100' id='root'>"
      L"  <UIWnd pos='10,10,50,50' hit='false' id='panel'>"
      L"    <UIWnd pos='5,5,10,10' id='button'/>"
      L"    <UIWnd pos='20,5,10,10' hit='false' id='label'/>"
      L"    <UIWnd pos='35,5,10,10' enable='false' id='off'/>"
      L"  </UIWnd>"
      L"</UIWnd>");
  struct Case {
    int x, y;
    const wchar_t* id;
  } cases[] = {{16, 16, L"button"},
               {31, 16, L"root"},
               {46, 16, L"root"},
               {40, 40, L"root"},
               {200, 5, nullptr}};
  for (const Case& c : cases) {
    UIControl* found = t->ControlFromPoint(c.x, c.y);
    if (!c.id) {
      EXPECT_EQ(found, nullptr);
      continue;
    }
    ASSERT_NE(found, nullptr) << c.x << "," << c.y;
    EXPECT_EQ(found->GetId(), c.id) << c.x << "," << c.y;
  }
}

TEST_F(UIControlTest, EventsReachListenersThenTheFirstSinkThatTakesThem) {
  class Page : public UIControl {
   public:
    bool OnChildEvent(UIEvent& e) override {
      seen = e.name + ":" + std::string(e.id.begin(), e.id.end());
      e.result = 7;
      return take;
    }
    std::string seen;
    bool take = true;
  };
  Tree root = Tree::Adopt(new UIControl);
  auto* page = new Page;
  page->SetEventSink(true);
  root->AddChild(page);
  UIControl* button = new UIControl;
  button->SetAttribute(L"id", L"b1");
  page->AddChild(button);
  std::vector<int> calls;
  button->AddListener(
      [](void* data, UIEvent& e) { static_cast<std::vector<int>*>(data)->push_back(e.param1); },
      &calls);
  button->AddListener([](void*, UIEvent&) { ADD_FAILURE() << "null data is never called"; },
                      nullptr);
  EXPECT_EQ(button->FireEvent("click", 3, 4), 7);
  EXPECT_EQ(page->seen, "click:b1");
  EXPECT_EQ(calls, std::vector<int>{3});
  page->take = false;
  EXPECT_EQ(button->FireEvent("click", 5), 7);  // no host: the result stays the sink's
  EXPECT_EQ(calls, (std::vector<int>{3, 5}));
}

TEST_F(UIControlTest, WheelGoesToTheParentAndStopsAtTheRoot) {
  class WheelSink : public UIControl {
   public:
    void OnMessage(UIMessage& m) override {
      if (m.message == WM_MOUSEWHEEL)
        m.result = 42;
      else
        UIControl::OnMessage(m);
    }
  };
  Tree lone = Tree::Adopt(new UIControl);
  EXPECT_EQ(lone->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, 120)), 0);
  Tree root = Tree::Adopt(new WheelSink);
  UIControl* child = new UIControl;
  root->AddChild(child);
  EXPECT_EQ(child->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, 120)), 42);
}

TEST_F(UIControlTest, ShowAndEnablePropagateWithoutOverridingOwnFlags) {
  Tree t = Build(
      L"<UIWnd><UIWnd id='a'><UIWnd id='b' visible='0' enable='0'/>"
      L"<UIWnd id='c'/></UIWnd></UIWnd>");
  UIControl* a = t->FindById(L"a");
  UIControl* b = t->FindById(L"b");
  UIControl* c = t->FindById(L"c");
  a->SetVisible(false);
  a->SetEnabled(false);
  EXPECT_TRUE(c->GetState() & UIControl::kStateHidden);
  EXPECT_FALSE(c->IsEnabled());
  EXPECT_TRUE(c->IsVisible());  // own flag untouched
  a->SetVisible(true);
  a->SetEnabled(true);
  EXPECT_FALSE(c->GetState() & UIControl::kStateHidden);
  EXPECT_TRUE(c->IsEnabled());
  EXPECT_TRUE(b->GetState() & UIControl::kStateHidden);
  EXPECT_FALSE(b->IsEnabled());
}

TEST_F(UIControlTest, HandlesStopResolvingOnceTheControlIsGone) {
  Tree root = Tree::Adopt(new UIControl);
  UIControl* child = new UIControl;
  root->AddChild(child);
  uint32_t handle = child->GetHandle();
  EXPECT_EQ(ResolveControl(handle), child);
  EXPECT_NE(handle, root->GetHandle());
  child->Remove();
  EXPECT_EQ(ResolveControl(handle), nullptr);
  EXPECT_TRUE(root->GetChildren().empty());
  uint32_t id = static_cast<uint32_t>(UIControl::TimerId(0x123456, 5));
  EXPECT_EQ(id, 0x85123456u);
  EXPECT_LT(static_cast<int32_t>(id), 0);
}

TEST_F(UIControlTest, HostileSizesAreHeldAndSumsSaturate) {
  const int big = kMaxLayoutValue;
  struct Case {
    const char* what;
    const wchar_t* layout;
    std::vector<RECT> rects;  // the root's, then its children's
  } cases[] = {
      {"pos", L"<UIWnd pos='-2000000000,0,2000000000,2000000000'/>", {{-big, 0, 0, big}}},
      {"width", L"<UIWnd width='2000000000' height='-5'/>", {{0, 0, big, 0}}},
      {"a row of over-wide children leaves nothing to share",
       L"<UIWnd pos='0,0,100,10' layout='horz'><UIWnd width='2000000000'/>"
       L"<UIWnd width='2000000000'/><UIWnd adj='1'/></UIWnd>",
       {{0, 0, 100, 10}, {0, 0, big, 0}, {big, 0, 2 * big, 0}, {2 * big, 0, 2 * big, 10}}},
      {"padding",
       L"<UIWnd pos='0,0,100,10' container='1' padding='2000000000'><UIWnd/></UIWnd>",
       {{0, 0, 100, 10}, {big, 0, 100, 10}}},
  };
  for (const Case& c : cases) {
    Tree t = Build(c.layout);
    ASSERT_TRUE(t) << c.what;
    std::vector<RECT> rects = {RectOf(t.get())};
    for (UIControl* child : t->GetChildren())
      rects.push_back(RectOf(child));
    ASSERT_EQ(rects.size(), c.rects.size()) << c.what;
    for (size_t i = 0; i < rects.size(); ++i)
      EXPECT_TRUE(EqualRect(&rects[i], &c.rects[i]))
          << c.what << " #" << i << ": " << rects[i].left << "," << rects[i].top << ","
          << rects[i].right << "," << rects[i].bottom;
  }
  // Sizes set by code are not held, but a column of them ends at the end of int.
  Tree column = Build(L"<UIWnd pos='0,0,10,10' layout='vert'><UIWnd/><UIWnd/></UIWnd>");
  for (UIControl* child : column->GetChildren())
    child->SetPos(0, 0, 10, 2000000000);
  column->Relayout();
  EXPECT_EQ(RectOf(column->GetChildren()[1]).top, 2000000000);
  EXPECT_EQ(RectOf(column->GetChildren()[1]).bottom, INT_MAX);
}

TEST_F(UIControlTest, TheAttributeMapKeepsTheLastValueOfEveryNameThroughGrowthAndCompaction) {
  Tree t = Build(L"<UIWnd a='1' bb='22' ccc='333'/>");
  ASSERT_TRUE(t);
  std::map<std::wstring, std::wstring> expected = {{L"a", L"1"}, {L"bb", L"22"}, {L"ccc", L"333"}};
  // Values that grow, shrink and grow again, over enough names and rounds to compact often.
  for (int round = 0; round < 60; ++round) {
    for (int n = 0; n < 12; ++n) {
      std::wstring name = L"n" + std::to_wstring(n);
      std::wstring value((round * 7 + n * 3) % 40, static_cast<wchar_t>(L'a' + (round + n) % 26));
      t->SetAttribute(name, value);
      expected[name] = value;
    }
    t->SetAttribute(L"bb", std::wstring(round % 9, L'b'));
    expected[L"bb"] = std::wstring(round % 9, L'b');
    for (const auto& e : expected)
      ASSERT_EQ(t->GetAttribute(e.first), e.second) << e.first << " in round " << round;
  }
  EXPECT_EQ(t->GetAttribute(L"n"), L"");
  EXPECT_EQ(t->GetAttribute(L"n100"), L"");
}
