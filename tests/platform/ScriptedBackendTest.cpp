#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/scripted/ScriptedPlatform.h"

using namespace platform;
using namespace platform::scripted;

namespace {

struct Seen {
  uint32_t message;
  WPARAM wParam;
  LPARAM lParam;
};

// Records every message and lets a test answer some of them.
class RecordingHandler : public WindowHandler {
 public:
  LRESULT WindowProc(Window& window, uint32_t message, WPARAM wParam, LPARAM lParam) override {
    seen.push_back(Seen{message, wParam, lParam});
    if (message == WM_CREATE) created = reinterpret_cast<const CREATESTRUCT*>(lParam)->rect;
    if (on) {
      LRESULT result = 0;
      if (on(window, message, wParam, lParam, &result)) return result;
    }
    return window.DefWindowProc(message, wParam, lParam);
  }
  std::vector<uint32_t> Messages() const {
    std::vector<uint32_t> m;
    for (const Seen& s : seen) m.push_back(s.message);
    return m;
  }
  std::vector<Seen> seen;
  Rect created;
  std::function<bool(Window&, uint32_t, WPARAM, LPARAM, LRESULT*)> on;
};

class ReleaseCounter : public IDropTarget {
 public:
  HRESULT QueryInterface(Iid, void**) override { return E_NOINTERFACE; }
  uint32_t AddRef() override { return ++refs; }
  uint32_t Release() override { return --refs; }
  HRESULT DragEnter(IDataObject*, uint32_t, Point p, uint32_t* e) override {
    last = p;
    *e &= DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT DragOver(uint32_t, Point, uint32_t*) override { return S_OK; }
  HRESULT DragLeave() override { return S_OK; }
  HRESULT Drop(IDataObject*, uint32_t, Point, uint32_t*) override { return S_OK; }
  uint32_t refs = 1;
  Point last;
};

ScriptedWindow* Create(ScriptedPlatform& p, RecordingHandler& h, Rect r = {100, 50, 508, 377}) {
  return static_cast<ScriptedWindow*>(p.CreateWindowEx(&h, r, "Test", WS_OVERLAPPEDWINDOW));
}

}  // namespace

TEST(ScriptedWindow, CreationSizeAndSizeMessages) {
  ScriptedConfig c;
  c.frameX = 4;
  c.frameY = 3;
  c.captionHeight = 20;
  ScriptedPlatform p(c);
  RecordingHandler h;
  ScriptedWindow* w = Create(p, h);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(h.Messages(), std::vector<uint32_t>{WM_CREATE});
  EXPECT_EQ(h.created, (Rect{100, 50, 508, 377}));
  EXPECT_EQ(w->GetClientRect(), (Rect{0, 0, 400, 301}));
  EXPECT_EQ(w->Pixel(0, 0), kUnpainted);
  EXPECT_EQ(w->ClientToScreen(Point{0, 0}).x, 104);
  EXPECT_EQ(w->ClientToScreen(Point{0, 0}).y, 73);

  w->Resize(640, 480);
  EXPECT_EQ(h.seen.back().message, WM_SIZE);
  EXPECT_EQ(h.seen.back().lParam, MAKELPARAM(640, 480));
  EXPECT_EQ(w->GetWindowRect().Width(), 648);
  w->Minimise();
  EXPECT_EQ(h.seen.back().lParam, 0);
  EXPECT_EQ(w->GetClientRect(), (Rect{0, 0, 0, 0}));
  w->Restore();
  EXPECT_EQ(w->GetClientRect(), (Rect{0, 0, 640, 480}));

  // Creation refused by the handler destroys the window.
  RecordingHandler refuse;
  refuse.on = [](Window&, uint32_t m, WPARAM, LPARAM, LRESULT* r) {
    *r = -1;
    return m == WM_CREATE;
  };
  EXPECT_EQ(Create(p, refuse), nullptr);
  EXPECT_EQ(refuse.Messages(), (std::vector<uint32_t>{WM_CREATE, WM_DESTROY}));
}

TEST(ScriptedWindow, InvalidationAccumulatesAndPaintsOnUpdate) {
  ScriptedPlatform p;
  RecordingHandler h;
  Rect painted;
  h.on = [&](Window& w, uint32_t m, WPARAM wp, LPARAM, LRESULT* r) {
    if (m == WM_ERASEBKGND) {
      reinterpret_cast<DeviceContext*>(wp)->FillSolidRect(Rect{-5, -5, 10, 10}, RGB(1, 2, 3));
      *r = 1;
      return true;
    }
    if (m == WM_PAINT) {
      w.BeginPaint(&painted);
      w.EndPaint();
      return true;
    }
    return false;
  };
  ScriptedWindow* w = Create(p, h);
  EXPECT_FALSE(w->UpdateWindow());

  const Rect a{10, 10, 20, 20}, b{50, 5, 60, 15};
  w->InvalidateRect(&a, false);
  w->InvalidateRect(&b, false);
  h.seen.clear();
  EXPECT_TRUE(w->UpdateWindow());
  EXPECT_EQ(h.Messages(), std::vector<uint32_t>{WM_PAINT});
  EXPECT_EQ(painted, (Rect{10, 5, 60, 20}));
  EXPECT_FALSE(w->HasInvalidArea());

  w->InvalidateRect(nullptr, true);
  h.seen.clear();
  w->UpdateWindow();
  EXPECT_EQ(h.Messages(), (std::vector<uint32_t>{WM_ERASEBKGND, WM_PAINT}));
  EXPECT_EQ(painted, w->GetClientRect());
  EXPECT_EQ(w->Pixel(0, 0), RGB(1, 2, 3));  // fill clipped to the surface
  EXPECT_EQ(w->Pixel(10, 10), kUnpainted);
  EXPECT_EQ(w->erases, 1);
  EXPECT_EQ(w->paints, 2);

  w->SetRedraw(false);
  w->InvalidateRect(nullptr, true);
  w->SetRedraw(true);
  EXPECT_FALSE(w->HasInvalidArea());
  EXPECT_TRUE(w->invalidations.back().suppressed);
}

TEST(ScriptedDeviceContext, DibRowsAreBgrAndMemoryBlitsCarryTexts) {
  Surface s(8, 4, kUnpainted);
  ScriptedDeviceContext dc(&s, Point{});
  // Two pixels of a 4-byte aligned row: (B, G, R) = (1, 2, 3) and (4, 5, 6).
  const uint8_t rows[8] = {1, 2, 3, 4, 5, 6, 0xEE, 0xEE};
  dc.SetDIBitsToDevice(6, 3, 2, 1, rows, 8);
  EXPECT_EQ(s.Pixel(6, 3), RGB(3, 2, 1));
  EXPECT_EQ(s.Pixel(7, 3), RGB(6, 5, 4));

  auto mem = dc.CreateCompatibleDC(4, 2);
  auto& m = static_cast<ScriptedDeviceContext&>(*mem);
  EXPECT_EQ(m.Target().Pixel(3, 1), 0u);
  m.SelectFont(Font::ThemeStatus);
  DTTOPTS o;
  o.dwFlags = DTT_COMPOSITED | DTT_GLOWSIZE;
  o.iGlowSize = 10;
  m.DrawThemeTextEx(nullptr, 0, 0, "hi", Rect{1, 0, 3, 2}, DT_BOTTOM, o);
  dc.BitBlt(2, 1, 4, 2, m, 0, 0);
  EXPECT_EQ(s.Pixel(2, 1), 0u);
  EXPECT_EQ(s.Pixel(1, 1), kUnpainted);
  ASSERT_EQ(s.texts.size(), 1u);
  EXPECT_EQ(s.texts[0].rect, (Rect{3, 1, 5, 3}));
  EXPECT_EQ(s.texts[0].glowSize, 10);
  EXPECT_EQ(s.texts[0].font, Font::ThemeStatus);
}

TEST(ScriptedWindow, MouseInputFollowsTheClassicRules) {
  ScriptedPlatform p;
  RecordingHandler h;
  ScriptedWindow* w = Create(p, h);
  h.seen.clear();
  EXPECT_TRUE(w->MouseMove(5, 6));
  ASSERT_EQ(h.seen.size(), 2u);
  EXPECT_EQ(h.seen[0].message, WM_SETCURSOR);
  EXPECT_EQ(h.seen[0].wParam, reinterpret_cast<WPARAM>(w->Handle()));
  EXPECT_EQ(LOWORD(uintptr_t(h.seen[0].lParam)), HTCLIENT);
  EXPECT_EQ(HIWORD(uintptr_t(h.seen[0].lParam)), WM_MOUSEMOVE);
  EXPECT_EQ(w->ScreenToClient(p.GetCursorPos()).x, 5);
  // Unhandled WM_SETCURSOR gets the class arrow from DefWindowProc.
  EXPECT_EQ(p.currentCursor, p.CursorHandle(CursorId::Arrow));

  EXPECT_FALSE(w->MouseMove(-3, 4));  // outside, not captured: nobody hears it
  w->SetCapture();
  h.seen.clear();
  EXPECT_TRUE(w->MouseMove(-3, 4));
  ASSERT_EQ(h.seen.size(), 1u);  // no cursor message while captured
  EXPECT_EQ(GET_X_LPARAM(h.seen[0].lParam), -3);
  w->ReleaseCapture();

  h.seen.clear();
  w->DoubleClick(1, 1);
  EXPECT_EQ(h.Messages(), (std::vector<uint32_t>{WM_SETCURSOR, WM_LBUTTONDOWN, WM_LBUTTONUP,
                                                 WM_LBUTTONDBLCLK, WM_LBUTTONUP}));
}

TEST(ScriptedToolbar, CustomDrawHoverAndClicks) {
  ScriptedPlatform p;
  RecordingHandler h;
  ScriptedWindow* w = Create(p, h);
  auto* tb = static_cast<ScriptedToolbar*>(w->CreateToolbar(Rect{300, 0, 364, 280}, 0));
  TBBUTTON b[3] = {};
  b[0].idCommand = 100;
  b[0].iString = "Save";
  b[1].fsStyle = BTNS_SEP;
  b[2].idCommand = 103;
  b[2].iString = "Help";
  ASSERT_TRUE(tb->AddButtons(b, 3));
  EXPECT_EQ(tb->GetButtonSize().cx, 56);
  std::string text = "unchanged";
  EXPECT_EQ(tb->GetButtonText(7, &text), -1);
  EXPECT_EQ(text, "unchanged");
  EXPECT_EQ(tb->GetButtonText(103, &text), 4);
  EXPECT_EQ(tb->ItemRect(103).top, 70 + ScriptedToolbar::kSeparatorHeight);

  // A parent that answers nothing leaves every label to the toolbar.
  EXPECT_EQ(tb->PaintToolbar().labelsDrawnByToolbar, (std::vector<std::string>{"Save", "Help"}));

  // A parent that asks for items and collapses one label.
  std::vector<uint32_t> states;
  h.on = [&](Window&, uint32_t m, WPARAM, LPARAM l, LRESULT* r) {
    if (m != WM_NOTIFY) return false;
    auto* nm = reinterpret_cast<NMHDR*>(l);
    if (nm->code != NM_CUSTOMDRAW) return false;
    auto* cd = reinterpret_cast<NMTBCUSTOMDRAW*>(l);
    if (cd->nmcd.dwDrawStage == CDDS_PREPAINT) {
      *r = CDRF_NOTIFYITEMDRAW;
    } else {
      states.push_back(cd->nmcd.uItemState);
      cd->nmcd.hdc->DrawTextEx("x", cd->nmcd.rc, 0);
      if (cd->nmcd.dwItemSpec == 100) cd->rcText.right = cd->rcText.left;
      *r = CDRF_DODEFAULT;
    }
    return true;
  };
  tb->SetPressed(103, true);
  w->surface.ClearRecords();
  ToolbarPaint paint = tb->PaintToolbar();
  EXPECT_EQ(paint.labelsDrawnByToolbar, std::vector<std::string>{"Help"});
  EXPECT_EQ(states, (std::vector<uint32_t>{0, CDIS_SELECTED}));
  ASSERT_EQ(w->surface.texts.size(), 2u);
  EXPECT_EQ(w->surface.texts[0].rect.left, 300);  // toolbar coordinates moved to the window's

  std::vector<NMTBHOTITEM> hot;
  h.on = [&](Window&, uint32_t m, WPARAM, LPARAM l, LRESULT*) {
    if (m == WM_NOTIFY) hot.push_back(*reinterpret_cast<NMTBHOTITEM*>(l));
    return false;
  };
  tb->HoverButton(100);
  tb->LeaveToolbar();
  ASSERT_EQ(hot.size(), 2u);
  EXPECT_EQ(hot[0].idNew, 100);
  EXPECT_EQ(hot[0].hdr.code, TBN_HOTITEMCHANGE);
  EXPECT_EQ(hot[1].idOld, 100);
  EXPECT_TRUE(hot[1].dwFlags & HICF_LEAVING);

  h.seen.clear();
  EXPECT_FALSE(tb->ClickButton(0));  // the separator
  EXPECT_TRUE(tb->ClickButton(103));
  ASSERT_EQ(h.seen.size(), 1u);
  EXPECT_EQ(h.seen[0].wParam, MAKEWPARAM(103, 0));
  EXPECT_EQ(h.seen[0].lParam, reinterpret_cast<LPARAM>(tb->Handle()));
}

TEST(ScriptedPlatform, DialogsLoopAndRecords) {
  ScriptedPlatform p;
  OPENFILENAME ofn;
  ofn.title = "Save card";
  EXPECT_FALSE(p.GetSaveFileName(ofn));  // nothing queued: cancel
  p.QueueSaveFile("/tmp/x.png", 2);
  EXPECT_TRUE(p.GetSaveFileName(ofn));
  EXPECT_EQ(ofn.file, "/tmp/x.png");
  EXPECT_EQ(ofn.filterIndex, 2u);
  ASSERT_EQ(p.saveDialogs.size(), 2u);
  EXPECT_EQ(p.saveDialogs[1].title, "Save card");

  EXPECT_EQ(p.MessageBox(nullptr, "t", "c", MB_OK), IDOK);
  EXPECT_EQ(p.messageBoxes[0].caption, "c");

  RecordingHandler h;
  ScriptedWindow* w = Create(p, h);
  struct Hooks : MessageLoopHooks {
    bool PreTranslateMessage(Window&, uint32_t m, WPARAM, LPARAM) override {
      return m == WM_TIMER_SYSTEM;
    }
    bool OnIdle(int) override { return false; }
  } hooks;
  p.QueueMessage(w, WM_TIMER_SYSTEM, 0, 0);
  p.QueueMessage(w, WM_COMMAND, 5, 0);
  p.QueueAction([&] { p.PostQuitMessage(7); });
  p.QueueAction([&] { ADD_FAILURE() << "ran after the quit message"; });
  h.seen.clear();
  EXPECT_EQ(p.RunMessageLoop(&hooks), 7);
  EXPECT_EQ(p.filteredMessages, 1);
  EXPECT_EQ(h.Messages(), std::vector<uint32_t>{WM_COMMAND});
  EXPECT_EQ(p.RunMessageLoop(&hooks), 7);  // a posted quit ends the loop at once
}

TEST(ScriptedDragDrop, RegistrationReferencesAndFileData) {
  ScriptedPlatform p;
  RecordingHandler h;
  ScriptedWindow* w = Create(p, h);
  ReleaseCounter target;
  EXPECT_EQ(w->RegisterDragDrop(&target), S_OK);
  EXPECT_EQ(target.refs, 2u);
  EXPECT_NE(w->RegisterDragDrop(&target), S_OK);

  auto files = ScriptedDataObject::Files({"/a/b.png", "/a/c.jli"});
  DragResult r = w->DragEnter(files.get(), Point{3, 4}, DROPEFFECT_COPY | DROPEFFECT_MOVE);
  EXPECT_EQ(r.hr, S_OK);
  EXPECT_EQ(r.effect, DROPEFFECT_COPY);
  EXPECT_EQ(w->ScreenToClient(target.last).x, 3);

  FORMATETC fmt;
  fmt.cfFormat = CF_HDROP;
  STGMEDIUM medium;
  ASSERT_EQ(files->GetData(fmt, &medium), S_OK);
  EXPECT_EQ(DragQueryFile(medium.hGlobal, 0xFFFFFFFFu, nullptr), 2u);
  std::string name;
  EXPECT_EQ(DragQueryFile(medium.hGlobal, 1, &name), 8u);
  EXPECT_EQ(name, "/a/c.jli");
  EXPECT_EQ(files->OutstandingMedia(), 1);
  EXPECT_EQ(files->RefCount(), 2u);
  ReleaseStgMedium(&medium);
  EXPECT_EQ(files->RefCount(), 1u);
  EXPECT_EQ(files->OutstandingMedia(), 0);
  EXPECT_NE(ScriptedDataObject::NonFile()->GetData(fmt, &medium), S_OK);

  EXPECT_EQ(w->RevokeDragDrop(), S_OK);
  EXPECT_EQ(target.refs, 1u);
  EXPECT_EQ(w->DragOver(Point{}, DROPEFFECT_COPY).hr, E_FAIL);

  IDropTargetHelper* helper = nullptr;
  ASSERT_EQ(p.CreateDropTargetHelper(&helper), S_OK);
  helper->DragLeave();
  helper->Release();
  EXPECT_EQ(p.dropHelper->calls.size(), 1u);
  EXPECT_EQ(p.dropHelper->RefCount(), 1u);
}
