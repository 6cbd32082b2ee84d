// Printing on the native backend: the page setup worked by messages as a
// user would, and a real printer's description and job (when the run names
// one; scripts/windows-print-check.sh gives it a private CUPS PDF printer
// and reads back the PDF it makes).
#include <windows.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "Win32Harness.h"

namespace {

using namespace platform;
using win32test::WindowTest;

// Counts the reports and answers each as the program would: new details,
// a warning only for the second paper.
class SetupRecorder : public PageSetupHandler {
 public:
  void PageSetupChanged(PageSetupModel& model) override {
    ++changes;
    model.details = "paper " + std::to_string(model.paper) + ", placement " +
                    std::to_string(model.placement);
    model.warning = model.paper == 1 ? "Too small" : "";
  }
  int changes = 0;
};

HWND FindDialog(HWND owner) {
  for (int i = 0; i < 400; ++i) {
    HWND found = nullptr;
    struct Search {
      HWND owner;
      HWND* found;
    } search{owner, &found};
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
          auto* s = reinterpret_cast<Search*>(p);
          wchar_t name[16] = L"";
          GetClassNameW(w, name, 16);
          if (!IsWindowVisible(w) || std::wstring(name) != L"#32770" ||
              GetWindow(w, GW_OWNER) != s->owner)
            return TRUE;
          *s->found = w;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (found) return found;
    Sleep(25);
  }
  return nullptr;
}

std::wstring ItemText(HWND dialog, int id) {
  wchar_t text[128] = L"";
  GetDlgItemTextW(dialog, id, text, 128);
  return text;
}

// What the user saw and did in the page setup.
struct SetupSeen {
  std::wstring title, detailsBefore, detailsAfter, warning;
  bool warningShown = false;
  LRESULT papers = 0, paperShown = -1;
};

TEST_F(WindowTest, ThePageSetupReportsEachChoiceLiveAndAnswersWithTheButtonPressed) {
  struct Case {
    int button;
    bool printed;
  };
  for (const Case c : {Case{IDOK, true}, Case{IDCANCEL, false}}) {
    PageSetupModel model;
    model.title = "Page setup";
    model.paperLabel = "Paper:";
    model.placementLabel = "Placement:";
    model.printLabel = "Print";
    model.cancelLabel = "Cancel";
    model.papers = {"A4", "4 x 6 in", "Letter"};
    model.paper = 2;
    model.placements = {"Actual size, centred", "Fit to page"};
    model.preview = win32test::SolidIcon(10, 20, 30);
    model.details = "Letter";
    SetupRecorder handler;
    SetupSeen seen;
    std::thread user([&] {
      const HWND dialog = FindDialog(hwnd);
      if (!dialog) return;
      wchar_t title[64] = L"";
      GetWindowTextW(dialog, title, 64);
      seen.title = title;
      seen.detailsBefore = ItemText(dialog, win32::kPageSetupDetailsId);
      const HWND papers = GetDlgItem(dialog, win32::kPageSetupPaperId);
      seen.papers = SendMessageW(papers, CB_GETCOUNT, 0, 0);
      seen.paperShown = SendMessageW(papers, CB_GETCURSEL, 0, 0);
      SendMessageW(papers, CB_SETCURSEL, 1, 0);
      SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(win32::kPageSetupPaperId, CBN_SELCHANGE),
                   LPARAM(papers));
      const HWND placements = GetDlgItem(dialog, win32::kPageSetupPlacementId);
      SendMessageW(placements, CB_SETCURSEL, 1, 0);
      SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(win32::kPageSetupPlacementId, CBN_SELCHANGE),
                   LPARAM(placements));
      seen.detailsAfter = ItemText(dialog, win32::kPageSetupDetailsId);
      seen.warning = ItemText(dialog, win32::kPageSetupWarningId);
      seen.warningShown = IsWindowVisible(GetDlgItem(dialog, win32::kPageSetupWarningId));
      PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(c.button, BN_CLICKED),
                   LPARAM(GetDlgItem(dialog, c.button)));
    });
    const bool printed = window->ShowPageSetup(model, handler);
    user.join();
    EXPECT_EQ(printed, c.printed);
    EXPECT_EQ(seen.title, L"Page setup");
    EXPECT_EQ(seen.papers, 3);
    EXPECT_EQ(seen.paperShown, 2) << "opens on the model's paper";
    EXPECT_EQ(seen.detailsBefore, L"Letter");
    EXPECT_EQ(handler.changes, 2) << "one report per choice";
    EXPECT_EQ(seen.detailsAfter, L"paper 1, placement 1");
    EXPECT_EQ(seen.warning, L"Too small");
    EXPECT_TRUE(seen.warningShown);
    EXPECT_EQ(model.paper, 1u);
    EXPECT_EQ(model.placement, 1u);
  }
}

TEST(Win32Printing, NoPrinterByAnUnknownNameOpens) {
  EXPECT_EQ(win32::OpenNamedPrinter("No such printer \xC3\xBC"), nullptr);
}

// The printer a run names (a CUPS PDF printer reached through Wine), and its
// twin that keeps margins; the job's PDF is read back by the script.
const char* TestPrinter() { return std::getenv("TESSARY_TEST_PRINTER"); }

const PrinterPaper* Find(const PrinterDescription& d, const std::string& name) {
  for (const PrinterPaper& paper : d.papers)
    if (paper.name == name) return &paper;
  return nullptr;
}

TEST(Win32Printing, ADriversPapersComeWithTheirSizesAndMargins) {
  if (!TestPrinter()) GTEST_SKIP() << "no test printer named (scripts/windows-print-check.sh)";
  const auto plain = win32::OpenNamedPrinter(TestPrinter());
  const auto margins = win32::OpenNamedPrinter(std::string(TestPrinter()) + "Margins");
  ASSERT_NE(plain, nullptr);
  ASSERT_NE(margins, nullptr);
  const PrinterDescription& d = plain->Description();
  EXPECT_EQ(d.name, TestPrinter());
  EXPECT_GE(d.dpi, 72);
  ASSERT_LT(d.paper, d.papers.size());
  const PrinterPaper* a4 = Find(d, "A4");
  const PrinterPaper* a4m = Find(margins->Description(), "A4");
  ASSERT_NE(a4, nullptr);
  ASSERT_NE(a4m, nullptr);
  EXPECT_NEAR(a4->width, 595.3, 1.0);
  EXPECT_NEAR(a4->height, 841.9, 1.0);
  EXPECT_FALSE(a4->key.empty());
  // The twin keeps 1/4 in more at the sides and 1/2 in at top and bottom.
  EXPECT_NEAR(a4m->margins.left - a4->margins.left, 18, 1.5);
  EXPECT_NEAR(a4m->margins.right - a4->margins.right, 18, 1.5);
  EXPECT_NEAR(a4m->margins.top - a4->margins.top, 36, 1.5);
  EXPECT_NEAR(a4m->margins.bottom - a4->margins.bottom, 36, 1.5);
}

// A 6 x 4 in card centred on A4 lying on its side, with cut marks reaching
// to half an inch off it: the script measures the PDF the printer wrote.
TEST(Win32Printing, APagePrintsOnTheChosenPaperTurned) {
  if (!TestPrinter()) GTEST_SKIP() << "no test printer named (scripts/windows-print-check.sh)";
  const auto printer = win32::OpenNamedPrinter(TestPrinter());
  ASSERT_NE(printer, nullptr);
  const PrinterPaper* a4 = Find(printer->Description(), "A4");
  ASSERT_NE(a4, nullptr);
  const int32_t w = 600, h = 400;
  std::vector<uint8_t> rgb(size_t(w) * h * 3, 60);
  PrintPage page;
  page.title = "Tessary card";
  page.paper = *a4;
  page.turned = true;
  page.width = w;
  page.height = h;
  page.stride = size_t(w) * 3;
  page.rgb = rgb.data();
  const double x = (a4->height - 432) / 2, y = (a4->width - 288) / 2;
  page.cards.push_back({x, y, 432, 288});
  // Cut marks a quarter inch long, a quarter inch off each corner.
  for (const double cx : {x, x + 432})
    for (const double cy : {y, y + 288}) {
      const double out = cx == x ? -1 : 1, down = cy == y ? -1 : 1;
      page.marks.push_back({cx + out * 18, cy, cx + out * 36, cy});
      page.marks.push_back({cx, cy + down * 18, cx, cy + down * 36});
    }
  EXPECT_EQ(printer->Print(page), "");
}

}  // namespace
