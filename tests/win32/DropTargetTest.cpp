#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include "Win32Harness.h"
#include "platform/win32/DropTarget.h"

namespace {

using platform::Point;
using win32test::WindowTest;

// A data object as the shell hands one over: a CF_HDROP file list, or
// (with no names) only text.
class FakeData : public IDataObject {
 public:
  explicit FakeData(std::vector<std::wstring> names, bool files = true)
      : names_(std::move(names)), files_(files) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDataObject)) {
      *out = this;
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (!files_ || format->cfFormat != CF_HDROP || !(format->tymed & TYMED_HGLOBAL))
      return DV_E_FORMATETC;
    // DROPFILES, then the names one after another, then an empty one.
    size_t chars = 1;
    for (const auto& n : names_) chars += n.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    auto* out = reinterpret_cast<wchar_t*>(header + 1);
    for (const auto& n : names_) {
      std::copy(n.begin(), n.end(), out);
      out += n.size() + 1;
    }
    GlobalUnlock(memory);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = memory;
    medium->pUnkForRelease = nullptr;
    ++served;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* f) override {
    return files_ && f->cfFormat == CF_HDROP ? S_OK : DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

  int served = 0;

 private:
  std::vector<std::wstring> names_;
  bool files_;
};

POINTL ScreenOf(HWND hwnd, int x, int y) {
  POINT p{x, y};
  ClientToScreen(hwnd, &p);
  return POINTL{p.x, p.y};
}

TEST_F(WindowTest, DroppedFilesArriveAsUtf8PathsWithTheClientPointAndCopyOnly) {
  IDropTarget* target = window->DropTargetForTesting();
  ASSERT_NE(target, nullptr);
  FakeData data({L"C:\\Photos\\\u00DCberraschung caf\u00E9.jpg", L"D:\\cards\\frame.JLI"});
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  ASSERT_EQ(target->DragEnter(&data, MK_LBUTTON, ScreenOf(hwnd, 50, 60), &effect), S_OK);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_COPY)) << "never move or link";
  ASSERT_EQ(recorder.drags.size(), 1u);
  EXPECT_EQ(recorder.drags[0].point, (Point{50, 60}));
  EXPECT_EQ(recorder.drags[0].paths,
            (std::vector<std::string>{"C:\\Photos\\\xC3\x9C" "berraschung caf\xC3\xA9.jpg",
                                      "D:\\cards\\frame.JLI"}));
  EXPECT_TRUE(recorder.drags[0].copyAllowed);

  // The program refuses this spot: no effect, and a drop there does nothing.
  recorder.acceptDrags = false;
  effect = DROPEFFECT_COPY;
  target->DragOver(MK_LBUTTON, ScreenOf(hwnd, 1, 2), &effect);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
  EXPECT_EQ(recorder.drags.back().paths.size(), 2u) << "the list is read once per drag";
  effect = DROPEFFECT_COPY;
  target->Drop(&data, MK_LBUTTON, ScreenOf(hwnd, 1, 2), &effect);
  EXPECT_TRUE(recorder.drops.empty());
  EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));

  recorder.acceptDrags = true;
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  target->DragEnter(&data, 0, ScreenOf(hwnd, 70, 80), &effect);
  target->Drop(&data, 0, ScreenOf(hwnd, 71, 81), &effect);
  ASSERT_EQ(recorder.drops.size(), 1u);
  EXPECT_EQ(recorder.drops[0].point, (Point{71, 81}));
  EXPECT_EQ(recorder.drops[0].paths.size(), 2u);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_COPY));
}

TEST_F(WindowTest, ASourceThatOnlyMovesOrCarriesNoFilesGetsNoCopy) {
  IDropTarget* target = window->DropTargetForTesting();
  FakeData photos({L"C:\\a.jpg"});
  DWORD effect = DROPEFFECT_MOVE;
  target->DragEnter(&photos, 0, ScreenOf(hwnd, 5, 5), &effect);
  EXPECT_FALSE(recorder.drags.back().copyAllowed);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
  target->DragLeave();

  FakeData text({}, false);
  effect = DROPEFFECT_COPY;
  target->DragEnter(&text, 0, ScreenOf(hwnd, 5, 5), &effect);
  EXPECT_TRUE(recorder.drags.back().paths.empty());
  target->Drop(&text, 0, ScreenOf(hwnd, 5, 5), &effect);
  ASSERT_EQ(recorder.drops.size(), 1u);
  EXPECT_TRUE(recorder.drops[0].paths.empty());
}

TEST_F(WindowTest, TheDropTargetIsACountedComObjectThatOutlivesItsWindowSafely) {
  IDropTarget* target = window->DropTargetForTesting();
  void* out = nullptr;
  EXPECT_EQ(target->QueryInterface(IID_IDropTarget, &out), S_OK);
  EXPECT_EQ(out, target);
  target->Release();
  EXPECT_EQ(target->QueryInterface(IID_IDataObject, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  // OLE may hold the target past the window: it then takes nothing.
  target->AddRef();
  made.reset();
  FakeData data({L"C:\\a.jpg"});
  DWORD effect = DROPEFFECT_COPY;
  EXPECT_EQ(target->DragEnter(&data, 0, POINTL{0, 0}, &effect), S_OK);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
  EXPECT_TRUE(recorder.drags.empty());
  EXPECT_EQ(target->Release(), 0u);
}

}  // namespace
