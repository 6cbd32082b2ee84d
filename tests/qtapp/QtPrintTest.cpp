// Printing from the window through the real print path: Qt's print dialog
// and the page setup answered as a user would, the job going to a private
// CUPS server's PDF printer, the PDF it makes read back with poppler's tools.
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "tests/qtapp/QtAppHarness.h"

using namespace qtapp;
namespace fs = std::filesystem;

namespace {

// What a command printed on its standard output; -1 as its code when it
// could not be run.
std::string Run(const std::string& command, int* code = nullptr) {
  std::string out;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) {
    if (code) *code = -1;
    return out;
  }
  std::array<char, 4096> buffer;
  size_t n;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) out.append(buffer.data(), n);
  const int status = pclose(pipe);
  if (code) *code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return out;
}

constexpr double kMmPerPoint = 25.4 / 72;

// A private CUPS server for this test program, started and stopped by the
// project's script.
class CupsPrinter {
 public:
  CupsPrinter() {
    folder_ = fs::temp_directory_path() / ("tessary-cups-" + std::to_string(getpid()));
    int code = 0;
    const std::string out = Run(Script() + " start " + folder_.string(), &code);
    if (code != 0) {
      unavailable_ = out.empty() ? "the script failed with code " + std::to_string(code) : out;
      return;
    }
    setenv("CUPS_SERVER", (folder_ / "cups.sock").c_str(), 1);
  }
  ~CupsPrinter() {
    Run(Script() + " stop " + folder_.string());
    std::error_code e;
    fs::remove_all(folder_, e);
  }
  const std::string& Unavailable() const { return unavailable_; }
  fs::path Out() const { return folder_ / "out"; }
  // No PDF of an earlier print is taken for the next one's.
  void Empty() const {
    std::error_code e;
    for (const auto& entry : fs::directory_iterator(Out(), e)) fs::remove_all(entry.path(), e);
  }

 private:
  static std::string Script() {
    return std::string(TESSARY_SOURCE_DIR) + "/scripts/cups-test-printer.sh";
  }
  fs::path folder_;
  std::string unavailable_;
};

// Answers the print dialog with `printer` and the page setup with `paper`
// and `placement`, as a user picks them from the lists.
class PrintAnswerer {
 public:
  PrintAnswerer(QString printer, QString paper, QString placement)
      : printer_(std::move(printer)), paper_(std::move(paper)), placement_(std::move(placement)) {
    timer_.setInterval(20);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Answer(); });
    timer_.start();
  }
  QString details, warning, message;
  QPixmap preview;
  bool printDialogSeen = false;
  bool printerFound = false;

 private:
  void Answer() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    if (auto* dialog = qobject_cast<QPrintDialog*>(modal)) {
      printDialogSeen = true;
      // The list of printers is the one that has ours.
      QComboBox* printers = nullptr;
      for (QComboBox* box : dialog->findChildren<QComboBox*>())
        if (box->findText(printer_) >= 0) printers = box;
      printerFound = printers != nullptr;
      if (!printers) {
        dialog->reject();
        return;
      }
      printers->setCurrentIndex(printers->findText(printer_));
      QMetaObject::invokeMethod(dialog, "accept");
    } else if (modal->objectName() == QLatin1String("pageSetup")) {
      auto* paper = modal->findChild<QComboBox*>(QStringLiteral("paper"));
      auto* placement = modal->findChild<QComboBox*>(QStringLiteral("placement"));
      paper->setCurrentIndex(paper->findText(paper_));
      placement->setCurrentIndex(placement->findText(placement_));
      details = modal->findChild<QLabel*>(QStringLiteral("details"))->text();
      warning = modal->findChild<QLabel*>(QStringLiteral("warning"))->text();
      preview = modal->findChild<QLabel*>(QStringLiteral("preview"))->pixmap();
      modal->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      message = box->text();
      box->button(QMessageBox::Ok)->click();
    }
  }
  QString printer_, paper_, placement_;
  QTimer timer_;
};

// The PDF the printer wrote, once it is whole.
fs::path WaitForPdf(const fs::path& out) {
  fs::path found;
  // Timing out leaves `found` empty, which the callers check.
  (void)QTest::qWaitFor(
      [&] {
        std::error_code e;
        for (const auto& entry : fs::directory_iterator(out, e)) {
          if (entry.path().extension() != ".pdf") continue;
          const std::string info = Run("pdfinfo '" + entry.path().string() + "'");
          if (info.find("Pages:") != std::string::npos) found = entry.path();
        }
        return !found.empty();
      },
      60000);
  return found;
}

// The printed page as poppler sees it: how many pictures it holds and the
// pixels of the last, and in millimetres the page and the box of all that
// is not white on it (in a 150 dpi rendering), by its distance from each
// edge.
struct PrintedPage {
  double width = 0, height = 0;
  double left = 0, top = 0, right = 0, bottom = 0;
  int images = 0;
  int imageWidth = 0, imageHeight = 0;
  QImage raster;

  double InkWidth() const { return width - left - right; }
  double InkHeight() const { return height - top - bottom; }
  // A driver may turn a landscape page to feed the paper upright: the page
  // as it was sent.
  PrintedPage Lying(bool landscape) const {
    if ((width > height) == landscape) return *this;
    PrintedPage turned = *this;
    turned.width = height, turned.height = width;
    turned.left = top, turned.top = right, turned.right = bottom, turned.bottom = left;
    return turned;
  }
};

PrintedPage Read(const fs::path& pdf) {
  PrintedPage page;
  const std::string list = Run("pdfimages -list '" + pdf.string() + "'");
  std::istringstream lines(list);
  std::string line;
  while (std::getline(lines, line)) {
    int number = 0, w = 0, h = 0;
    char type[32];
    if (std::sscanf(line.c_str(), " %*d %d %31s %d %d", &number, type, &w, &h) == 4 &&
        std::string(type) == "image") {
      ++page.images;
      page.imageWidth = w;
      page.imageHeight = h;
    }
  }
  const fs::path png = pdf.parent_path() / "page";
  Run("pdftoppm -r 150 -png -singlefile '" + pdf.string() + "' '" + png.string() + "'");
  page.raster.load(QString::fromStdString(png.string() + ".png"));
  const QImage& r = page.raster;
  int x0 = r.width(), y0 = r.height(), x1 = -1, y1 = -1;
  for (int y = 0; y < r.height(); ++y)
    for (int x = 0; x < r.width(); ++x)
      if (qGray(r.pixel(x, y)) < 235) {
        x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
      }
  const double mm = 25.4 / 150;
  page.width = r.width() * mm, page.height = r.height() * mm;
  page.left = x0 * mm, page.top = y0 * mm;
  page.right = (r.width() - 1 - x1) * mm, page.bottom = (r.height() - 1 - y1) * mm;
  return page;
}

// The page's size from pdfinfo, in points.
std::pair<double, double> PageSize(const fs::path& pdf) {
  double w = 0, h = 0;
  const std::string info = Run("pdfinfo '" + pdf.string() + "'");
  const size_t at = info.find("Page size:");
  if (at != std::string::npos) std::sscanf(info.c_str() + at, "Page size: %lf x %lf", &w, &h);
  return {w, h};
}

class QtPrinting : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { cups_ = new CupsPrinter; }
  static void TearDownTestSuite() {
    delete cups_;
    cups_ = nullptr;
  }
  void SetUp() override {
    if (!cups_->Unavailable().empty())
      GTEST_SKIP() << "no CUPS test printer here: " << cups_->Unavailable();
  }
  // The card with a photo of one dark colour in each region, so that
  // everything of the card prints darker than the paper.
  static void FillCard(QtApp& app) {
    for (size_t slot = 0; slot < app.Card().slots.size(); ++slot) {
      engine::Raster photo = engine::Raster::Allocate(300, 200, engine::PixelFormat::Rgb24);
      std::fill_n(photo.pixels.get(), photo.ByteSize(), uint8_t(40 + 30 * slot));
      ASSERT_TRUE(app.wnd->Document().PutPhoto(slot, std::move(photo),
                                               document::PhotoSource{"p" + std::to_string(slot)}));
    }
  }
  // What the dialogs showed when the card was printed through them to
  // `printer` on A4 with `placement`, and the PDF the printer wrote (empty
  // when it wrote none).
  struct Printout {
    QString details, warning, message;
    QPixmap preview;
    bool printerFound = false;
    fs::path pdf;
  };
  static Printout PrintOnA4(QtApp& app, const char* printer, const char* placement) {
    cups_->Empty();
    PrintAnswerer answers(QString::fromUtf8(printer), QStringLiteral("A4"),
                          QString::fromUtf8(placement));
    QToolButton* print = app.Button("Print");
    if (print) print->click();
    Printout out{answers.details, answers.warning, answers.message, answers.preview,
                 answers.printerFound, {}};
    if (out.printerFound) out.pdf = WaitForPdf(cups_->Out());
    return out;
  }
  static document::DesignSize PrintSize(QtApp& app) {
    return document::DescribeDesign(app.wnd->Document().State()).SizeFor(document::SizeUse::Print);
  }
  static inline CupsPrinter* cups_ = nullptr;
};

}  // namespace

// Actual size on A4: a 6 x 4 in card, the page on its side, the card
// centred, all within half a millimetre.
TEST_F(QtPrinting, ActualSizeIsTheCardsOwnSizeCentredOnThePage) {
  QtApp app;
  ASSERT_TRUE(app.Ready());
  FillCard(app);
  const Printout printed = PrintOnA4(app, "TessaryPDF", "Actual size, centred");
  ASSERT_TRUE(printed.printerFound);
  EXPECT_TRUE(printed.message.isEmpty()) << printed.message.toStdString();
  EXPECT_TRUE(printed.warning.isEmpty()) << printed.warning.toStdString();
  EXPECT_FALSE(printed.preview.isNull());
  ASSERT_FALSE(printed.pdf.empty()) << "the printer wrote no PDF";

  const auto [widthPt, heightPt] = PageSize(printed.pdf);
  EXPECT_NEAR(std::max(widthPt, heightPt), 841.89, 1);
  EXPECT_NEAR(std::min(widthPt, heightPt), 595.28, 1);
  const PrintedPage page = Read(printed.pdf).Lying(true);
  ASSERT_FALSE(page.raster.isNull());
  EXPECT_EQ(page.images, 1);
  // Rendered for the printer at its 300 dpi, not the screen's 900 pixels.
  const document::DesignSize size = PrintSize(app);
  EXPECT_NEAR(std::max(page.imageWidth, page.imageHeight), int(size.width), 2);
  const double cardW = size.WidthInches() * 25.4, cardH = size.HeightInches() * 25.4;
  EXPECT_NEAR(page.InkWidth(), cardW, 0.5);
  EXPECT_NEAR(page.InkHeight(), cardH, 0.5);
  // Its middle is the page's.
  EXPECT_NEAR((page.left - page.right) / 2, 0, 0.5);
  EXPECT_NEAR((page.top - page.bottom) / 2, 0, 0.5);
}

// Two on A4 to a printer whose driver keeps margins: the cards at their
// size, the cut marks printed outside them, the fitted one kept clear of
// the margins the driver gave.
TEST_F(QtPrinting, SeveralOnASheetHaveCutMarksAndFitKeepsToTheDriversMargins) {
  QtApp app;
  ASSERT_TRUE(app.Ready());
  FillCard(app);
  const document::DesignSize size = PrintSize(app);
  const double cardW = size.WidthInches() * 25.4, cardH = size.HeightInches() * 25.4;
  {
    const Printout printed =
        PrintOnA4(app, "TessaryPDFMargins", "Several on a sheet, with cut marks");
    ASSERT_TRUE(printed.printerFound);
    EXPECT_TRUE(printed.details.contains(QStringLiteral("2 cards")))
        << printed.details.toStdString();
    ASSERT_FALSE(printed.pdf.empty());
    const PrintedPage page = Read(printed.pdf).Lying(false);
    ASSERT_FALSE(page.raster.isNull());
    EXPECT_EQ(page.images, 2);
    // Upright A4, two cards one above the other, centred; the marks reach
    // 15 points beyond them.
    const double marks = 15 * kMmPerPoint;
    EXPECT_NEAR(page.InkWidth(), cardW + 2 * marks, 0.5);
    EXPECT_NEAR(page.InkHeight(), 2 * cardH + 2 * marks, 0.5);
    EXPECT_NEAR((page.left - page.right) / 2, 0, 0.5);
    EXPECT_NEAR((page.top - page.bottom) / 2, 0, 0.5);
    // Paper between the marks and the cards, and a mark where the cut
    // between the two cards runs.
    const double px = 150 / 25.4;
    const int midY = int((page.top + marks + cardH) * px);
    const int gapX = int((page.left + marks - 1.5 * kMmPerPoint) * px);
    EXPECT_GT(qGray(page.raster.pixel(gapX, midY)), 235);
    bool mark = false;
    for (int x = int(page.left * px); x < int((page.left + marks - 3 * kMmPerPoint) * px); ++x)
      for (int dy = -2; dy <= 2; ++dy) mark |= qGray(page.raster.pixel(x, midY + dy)) < 128;
    EXPECT_TRUE(mark) << "no cut mark between the cards";
  }
  {
    const Printout printed = PrintOnA4(app, "TessaryPDFMargins", "Fit to the printable area");
    ASSERT_FALSE(printed.pdf.empty());
    const PrintedPage page = Read(printed.pdf).Lying(true);
    ASSERT_FALSE(page.raster.isNull());
    // On its side, the driver keeps half an inch at the left and right:
    // the card is as wide as the page less those, and centred.
    EXPECT_NEAR(page.left, 36 * kMmPerPoint, 0.5);
    EXPECT_NEAR(page.right, 36 * kMmPerPoint, 0.5);
    EXPECT_NEAR(page.InkWidth() / page.InkHeight(), cardW / cardH, 0.01);
    EXPECT_NEAR((page.top - page.bottom) / 2, 0, 0.5);
  }
}
