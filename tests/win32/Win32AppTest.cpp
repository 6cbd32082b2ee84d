// The program's own window on the native backend, in this process.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "imagefiles/TestImages.h"
#include "tests/platform/PostedTasks.h"
#include "Win32Harness.h"
#include "app/Startup.h"
#include "app/MainWindow.h"
#include "document/PhotoSource.h"
#include "engine/raster/Raster.h"
#include "imagefiles/ImageFiles.h"
#include "interaction/HintTexts.h"
#include "platform/win32/Win32TextPanel.h"

namespace {

using namespace platform;

class OneFile : public IDataObject {
 public:
  explicit OneFile(std::wstring name) : name_(std::move(name)) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = this;
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (format->cfFormat != CF_HDROP) return DV_E_FORMATETC;
    const size_t bytes = sizeof(DROPFILES) + (name_.size() + 2) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, bytes);
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::copy(name_.begin(), name_.end(), reinterpret_cast<wchar_t*>(header + 1));
    GlobalUnlock(memory);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = memory;
    medium->pUnkForRelease = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC*) override { return S_OK; }
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

 private:
  std::wstring name_;
};


// The user, on a thread of its own while the window's thread waits in a
// modal loop: finds the window of class `cls` that opened, reads it, answers.
HWND WaitForWindow(const wchar_t* cls, HWND owner) {
  struct Search {
    const wchar_t* cls;
    HWND owner;
    HWND found;
  } search{cls, owner, nullptr};
  for (int i = 0; i < 400 && !search.found; ++i) {
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
          auto* s = reinterpret_cast<Search*>(p);
          wchar_t name[64] = L"";
          GetClassNameW(w, name, 64);
          if (!IsWindowVisible(w) || std::wstring(name) != s->cls) return TRUE;
          if (s->owner && GetWindow(w, GW_OWNER) != s->owner) return TRUE;
          s->found = w;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (!search.found) Sleep(25);
  }
  return search.found;
}

std::vector<std::pair<std::wstring, HWND>> Buttons(HWND dialog) {
  std::vector<std::pair<std::wstring, HWND>> found;
  EnumChildWindows(
      dialog,
      [](HWND w, LPARAM p) -> BOOL {
        wchar_t name[32] = L"", text[64] = L"";
        GetClassNameW(w, name, 32);
        if (std::wstring(name) == L"Button" && IsWindowVisible(w)) {
          GetWindowTextW(w, text, 64);
          reinterpret_cast<std::vector<std::pair<std::wstring, HWND>>*>(p)->emplace_back(text, w);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

class AppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dpi = platform.ScreenDpi();
    const app::StartupPlacement placement = app::ComputeStartupPlacement(
        dpi, platform.Frame(), platform.MaximisedClientSize(), ShowState::Normal);
    wnd = std::make_unique<app::MainWindow>(platform, dpi, files);
    ASSERT_TRUE(wnd->Create(placement.rect, "Tessary 1.0"));
    window = static_cast<platform::win32::Win32Window*>(wnd->GetWindow());
    hwnd = window->Handle();
  }

  platform::win32::Win32Platform platform;
  imagefiles::ImageFiles files;
  int32_t dpi = 96;
  std::unique_ptr<app::MainWindow> wnd;
  platform::win32::Win32Window* window = nullptr;
  HWND hwnd = nullptr;
};

TEST_F(AppTest, StartsWithRoomForTheCardBesideTheToolbarAndAboveTheHintLine) {
  if (dpi != 96) GTEST_SKIP() << "the desktop is not at 96 dpi";
  EXPECT_EQ(window->ClientSize(), (Size{968, 620}));
  EXPECT_EQ(wnd->View().CardRect(), (Rect{0, 0, 900, 600}));
  wchar_t title[32] = L"";
  GetWindowTextW(hwnd, title, 32);
  EXPECT_STREQ(title, L"Frost \u2014 Tessary");  // the first design's name
  RECT toolbar{};
  GetWindowRect(window->ToolbarHandle(), &toolbar);
  MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&toolbar), 2);
  EXPECT_EQ(toolbar.left, 904);
  EXPECT_EQ(toolbar.right, 968);
  EXPECT_EQ(toolbar.bottom, 600);
  EXPECT_EQ(SendMessageW(window->ToolbarHandle(), TB_BUTTONCOUNT, 0, 0), 10);  // nine and a separator
  EXPECT_NE(SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0), 0) << "the window has its icons";
}

TEST_F(AppTest, APhotoWithAUnicodeNameDroppedOnARegionFillsIt) {
  testimages::TempFolder folder;
  const std::vector<uint8_t> pixels = testimages::SyntheticPhoto(64, 48, 3);
  const std::string name = folder.File("\xC3\x9C" "berraschung caf\xC3\xA9.jpg");
  testimages::WriteBytes(name, testimages::EncodeJpeg(pixels.data(), 64, 48, 3));
  const std::filesystem::path wide = std::filesystem::u8path(name);
  OneFile data(wide.wstring());
  // Over slot 1 (the upper left region) of template 0, at natural size.
  POINT at{227, 152};
  ClientToScreen(hwnd, &at);
  DWORD effect = DROPEFFECT_COPY;
  IDropTarget* target = window->DropTargetForTesting();
  target->DragEnter(&data, 0, POINTL{at.x, at.y}, &effect);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_COPY));
  target->Drop(&data, 0, POINTL{at.x, at.y}, &effect);
  // The photo decodes on a worker thread and comes back through the
  // platform's queue.
  ASSERT_NE(wnd->Loads(), nullptr);
  ASSERT_TRUE(platform.WaitUntil([&] { return !wnd->Loads()->Busy(); }, 20000));
  ASSERT_GT(wnd->Document().Card().slots.size(), 1u);
  EXPECT_TRUE(wnd->Document().Card().slots[1].HasPhoto());
  EXPECT_EQ(wnd->Document().Card().slots[1].photoWidth, 64u);
}

TEST_F(AppTest, MessagesDriveTheWindowThroughItsTable) {
  SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(227, 152));
  EXPECT_EQ(wnd->View().HintText(), interaction::kHintClickToAdd);
  SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(101, BN_CLICKED), LPARAM(window->ToolbarHandle()));
  EXPECT_EQ(wnd->Document().State().design.builtInIndex, 1);
  NMTBHOTITEM hot{};
  hot.hdr.hwndFrom = window->ToolbarHandle();
  hot.hdr.code = UINT(TBN_HOTITEMCHANGE);
  hot.idNew = 103;
  SendMessageW(hwnd, WM_NOTIFY, 0, LPARAM(&hot));
  EXPECT_EQ(wnd->View().HintText(), interaction::kHintHelp);
}

TEST_F(AppTest, TheCloseQuestionSaysWhatEachButtonDoesAndTheRegionMenuNamesItsKeys) {
  if (dpi != 96) GTEST_SKIP() << "the desktop is not at 96 dpi";
  engine::Raster photo = engine::Raster::Allocate(40, 30, engine::PixelFormat::Rgb24);
  ASSERT_TRUE(wnd->Document().PutPhoto(0, std::move(photo), document::PhotoSource{}));
  // A right-click on the photo's region: its menu, each item with its key.
  std::vector<std::wstring> items;
  std::thread reader([&] {
    const HWND popup = WaitForWindow(L"#32768", nullptr);
    if (!popup) return;
    const HMENU menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
    for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
      wchar_t text[128] = L"";
      if (GetMenuStringW(menu, UINT(i), text, 128, MF_BYPOSITION) > 0) items.push_back(text);
    }
    PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
  });
  // Slot 0 is the upper right region of template 0, at natural size.
  POINT at{673, 152};
  ClientToScreen(hwnd, &at);
  SendMessageW(hwnd, WM_CONTEXTMENU, WPARAM(hwnd), MAKELPARAM(at.x, at.y));
  reader.join();
  EXPECT_NE(std::find(items.begin(), items.end(), L"Remove photo\tDelete"), items.end());
  EXPECT_NE(std::find(items.begin(), items.end(), L"Undo\tCtrl+Z"), items.end());

  // Closing a changed card: the question's buttons are verbs.
  std::vector<std::wstring> labels;
  std::thread user([&] {
    const HWND question = WaitForWindow(L"#32770", hwnd);
    if (!question) return;
    HWND dontSave = nullptr;
    for (const auto& [text, button] : Buttons(question)) {
      labels.push_back(text);
      if (text == L"Don't Save") dontSave = button;
    }
    if (dontSave)
      PostMessageW(question, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(dontSave), BN_CLICKED),
                   LPARAM(dontSave));
    else
      PostMessageW(question, WM_CLOSE, 0, 0);
  });
  const bool closes = wnd->OnCloseRequested();
  user.join();
  std::sort(labels.begin(), labels.end());
  EXPECT_EQ(labels, (std::vector<std::wstring>{L"Cancel", L"Don't Save", L"Save"}));
  EXPECT_TRUE(closes) << "Don't Save lets the window close";
  // The program asked to end; this process goes on with other tests.
  MSG quit;
  while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

}  // namespace

TEST_F(AppTest, TheTextPanelIsADialogOfStandardControlsThatEditsTheSelectedBox) {
  using namespace platform::win32;
  document::CardDocument& doc = wnd->Document();
  SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(int(app::CommandId::AddText), BN_CLICKED),
               LPARAM(window->ToolbarHandle()));
  ASSERT_EQ(doc.State().texts.size(), 1u);
  HWND panel = window->TextPanelHandle();
  ASSERT_NE(panel, nullptr);
  EXPECT_TRUE(IsWindowVisible(panel));
  EXPECT_EQ(GetWindow(panel, GW_OWNER), hwnd);
  const size_t steps = doc.History().UndoSteps();

  // Typed words (the edit control's line ends are the card's '\n').
  // A multi-line edit control tells no change for text set from outside;
  // typing would, so the test tells it as typing does.
  SetDlgItemTextW(panel, kTextWordsId, L"Gr\u00fc\u00dfe\r\nfrom here");
  SendMessageW(panel, WM_COMMAND, MAKEWPARAM(kTextWordsId, EN_CHANGE),
               LPARAM(GetDlgItem(panel, kTextWordsId)));
  EXPECT_EQ(doc.State().texts[0].words, "Gr\xC3\xBC\xC3\x9F" "e\nfrom here");
  // A swatch, Bold and the right alignment, as clicks: a step each.
  SendDlgItemMessageW(panel, kTextSwatchId + 1, BM_CLICK, 0, 0);
  const uint32_t swatch = wnd->Texts().ModelFor(doc.State().texts[0]).palette[1];
  EXPECT_EQ(doc.State().texts[0].colour, swatch);
  SendDlgItemMessageW(panel, kTextBoldId, BM_CLICK, 0, 0);
  EXPECT_TRUE(doc.State().texts[0].bold);
  SendDlgItemMessageW(panel, kTextRightId, BM_CLICK, 0, 0);
  EXPECT_EQ(doc.State().texts[0].align, text::TextAlign::Right);
  // A size typed and left; one out of range is given back.
  SetDlgItemTextW(panel, kTextSizeId, L"48");
  SendMessageW(panel, WM_COMMAND, MAKEWPARAM(kTextSizeId, EN_KILLFOCUS),
               LPARAM(GetDlgItem(panel, kTextSizeId)));
  EXPECT_EQ(doc.State().texts[0].sizePoints, 48);
  SetDlgItemTextW(panel, kTextSizeId, L"9999");
  SendMessageW(panel, WM_COMMAND, MAKEWPARAM(kTextSizeId, EN_KILLFOCUS),
               LPARAM(GetDlgItem(panel, kTextSizeId)));
  EXPECT_EQ(doc.State().texts[0].sizePoints, 48);
  EXPECT_EQ(doc.History().UndoSteps(), steps + 5);

  // Undo shows in the panel: the size field has its number back.
  ASSERT_TRUE(doc.Undo());
  wchar_t size[16] = L"";
  GetDlgItemTextW(panel, kTextSizeId, size, 16);
  EXPECT_EQ(std::wstring(size), std::to_wstring(int(doc.State().texts[0].sizePoints)));

  // Close: the panel goes, the box stays.
  SendMessageW(panel, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_FALSE(window->TextPanelOpen());
  EXPECT_EQ(doc.State().texts.size(), 1u);
}

TEST_F(AppTest, TasksPostedFromAnotherThreadRunOnTheWindowThreadInOrder) {
  platformtest::ExpectPostedTasksRunInOrderOnTheWaitingThread(platform);
}
