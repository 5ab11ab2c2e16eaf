#include "ui/core/UIDropTargetDispatcher.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/uicore/UITestSkin.h"
#include "ui/core/UIHostWnd.h"

namespace {

// Writes what it is told into a shared log, prefixed by its name.
class LoggingTarget : public IDropTarget {
 public:
  LoggingTarget(char name, std::string& log) : name_(name), log_(log) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD*) override {
    return Note('E');
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
    *effect = DROPEFFECT_COPY;
    return Note('O');
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override { return Note('L'); }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject*, DWORD, POINTL, DWORD*) override {
    return Note('D');
  }

 private:
  HRESULT Note(char what) {
    log_ += name_;
    log_ += what;
    log_ += ' ';
    return S_OK;
  }
  char name_;
  std::string& log_;
};

}  // namespace

TEST(UIDropTargetDispatcher, DragsFollowThePointerFromHandlerToHandler) {
  UITestSkin skin({{L"xml\\d.xml",
                    "<UIWnd pos='0,0,200,100' hit='false'><UIWnd id='a' pos='0,0,50,50'/>"
                    "<UIWnd id='b' pos='100,0,50,50'/></UIWnd>"}});
  UIHostWnd host(L"xml\\d.xml");
  ASSERT_TRUE(host.Create(nullptr, WS_POPUP, 0, 0, 0, 10, 10));
  std::string log;
  LoggingTarget a('a', log), b('b', log);
  UIDropTargetDispatcher& d = host.DropTarget();
  d.Register(host.GetRoot()->FindById(L"a")->GetHandle(), &a);
  d.Register(host.GetRoot()->FindById(L"b")->GetHandle(), &b);
  POINT origin = {0, 0};
  ClientToScreen(host.GetHwnd(), &origin);
  auto at = [&](int x, int y) { return POINTL{origin.x + x, origin.y + y}; };
  DWORD effect = DROPEFFECT_COPY;
  d.DragEnter(nullptr, 0, at(10, 10), &effect);
  d.DragOver(0, at(12, 10), &effect);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  d.DragOver(0, at(75, 10), &effect);  // between the two: nobody takes it
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  d.DragOver(0, at(110, 10), &effect);
  d.Drop(nullptr, 0, at(110, 10), &effect);
  d.DragEnter(nullptr, 0, at(10, 10), &effect);
  d.DragLeave();
  EXPECT_EQ(log, "aE aO aL bE bD aE aL ");
}
