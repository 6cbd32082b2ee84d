// Printing on Qt: the system's print dialog (CUPS printers, or a PDF file),
// the program's page setup, and the page drawn with QPainter at the
// printer's own resolution.
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QImage>
#include <QLabel>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPen>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/qt/QtWindow.h"

namespace platform::qt {

namespace {

PrintMargins ToMargins(const QMarginsF& m) { return {m.left(), m.top(), m.right(), m.bottom()}; }

// What the driver cannot reach on `size` held upright, in points.
PrintMargins MinimumMargins(QPrinter& printer, const QPageSize& size) {
  printer.setPageSize(size);
  printer.setPageOrientation(QPageLayout::Portrait);
  QPageLayout layout = printer.pageLayout();
  layout.setUnits(QPageLayout::Point);
  return ToMargins(layout.minimumMargins());
}


class QtPrinter : public Printer {
 public:
  explicit QtPrinter(std::unique_ptr<QPrinter> printer) : printer_(std::move(printer)) {
    QPrinter& p = *printer_;
    description_.name = p.outputFormat() == QPrinter::PdfFormat
                            ? p.outputFileName().toStdString()
                            : p.printerName().toStdString();
    description_.dpi = p.resolution();
    description_.copies = std::max(1, p.copyCount());
    const QPageLayout chosen = p.pageLayout();
    QList<QPageSize> sizes;
    if (p.outputFormat() == QPrinter::NativeFormat) sizes = QPrinterInfo(p).supportedPageSizes();
    if (sizes.isEmpty()) sizes.append(chosen.pageSize());
    for (const QPageSize& size : sizes) {
      if (!size.isValid()) continue;
      const QSizeF points = size.definitionUnits() == QPageSize::Point
                                ? size.definitionSize()
                                : size.size(QPageSize::Point);
      PrinterPaper paper;
      paper.name = size.name().toStdString();
      paper.width = std::min(points.width(), points.height());
      paper.height = std::max(points.width(), points.height());
      // Only the upright ones: Qt gives CUPS drivers' upright margins back
      // unturned for a landscape page.
      paper.margins = MinimumMargins(p, size);
      paper.key = size.key().toStdString();
      if (size.isEquivalentTo(chosen.pageSize())) description_.paper = description_.papers.size();
      description_.papers.push_back(paper);
      sizes_.push_back(size);
    }
    p.setPageLayout(chosen);
  }

  const PrinterDescription& Description() const override { return description_; }

  std::string Print(const PrintPage& page) override {
    QPrinter& p = *printer_;
    QPageSize size;
    for (const QPageSize& listed : sizes_)
      if (!page.paper.key.empty() && listed.key().toStdString() == page.paper.key) size = listed;
    if (!size.isValid())
      size = QPageSize(QSizeF(page.paper.width, page.paper.height), QPageSize::Point,
                       QString::fromStdString(page.paper.name), QPageSize::FuzzyMatch);
    p.setDocName(QString::fromStdString(page.title));
    // The painter's origin is the paper's corner, as the page's points are.
    p.setFullPage(true);
    // A page on some other paper would print the card at the wrong place.
    if (!p.setPageSize(size))
      return "it takes no paper of " + page.paper.name + "'s size";
    p.setPageOrientation(page.turned ? QPageLayout::Landscape : QPageLayout::Portrait);
    p.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
    // A driver that makes no copies of its own gets every page from here.
    const int pages = p.supportsMultipleCopies() ? 1 : std::max(1, p.copyCount());
    if (pages > 1) p.setCopyCount(1);

    QPainter painter;
    if (!painter.begin(&p)) return "the printer could not be started";
    const double scale = p.resolution() / 72.0;
    const QImage picture(page.rgb, page.width, page.height, qsizetype(page.stride),
                         QImage::Format_RGB888);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (int copy = 0; copy < pages; ++copy) {
      if (copy > 0 && !p.newPage()) break;
      for (const PrintPage::Box& box : page.cards)
        painter.drawImage(
            QRectF(box.x * scale, box.y * scale, box.width * scale, box.height * scale), picture);
      // A quarter point: seen by the eye, gone once the card is cut.
      QPen pen(Qt::black, std::max(1.0, 0.25 * scale));
      pen.setCapStyle(Qt::FlatCap);
      painter.setPen(pen);
      for (const PrintPage::Line& line : page.marks)
        painter.drawLine(QPointF(line.x0 * scale, line.y0 * scale),
                         QPointF(line.x1 * scale, line.y1 * scale));
    }
    const bool ended = painter.end();
    if (!ended || p.printerState() == QPrinter::Error || p.printerState() == QPrinter::Aborted)
      return "the printer did not take the page";
    return std::string();
  }

 private:
  std::unique_ptr<QPrinter> printer_;
  PrinterDescription description_;
  std::vector<QPageSize> sizes_;  // the driver's, as description_.papers
};

QPixmap PreviewPixmap(const IconImage& image) {
  if (image.width <= 0 || image.height <= 0) return QPixmap();
  const QImage picture(image.rgba.data(), image.width, image.height, image.width * 4,
                       QImage::Format_RGBA8888);
  return QPixmap::fromImage(picture.copy());
}

}  // namespace

std::unique_ptr<Printer> QtWindow::ChoosePrinter(const std::string& jobTitle) {
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer->setDocName(QString::fromStdString(jobTitle));
  QPrintDialog dialog(printer.get(), widget_.data());
  // One page, one card: no ranges, no selection, no current page.
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
  dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
  BeginModal();
  const bool accepted = dialog.exec() == QDialog::Accepted;
  EndModal();
  if (!accepted) return nullptr;
  return std::make_unique<QtPrinter>(std::move(printer));
}

bool QtWindow::ShowPageSetup(PageSetupModel& model, PageSetupHandler& handler) {
  QDialog dialog(widget_.data());
  dialog.setObjectName(QStringLiteral("pageSetup"));
  dialog.setWindowTitle(QString::fromStdString(model.title));

  auto* preview = new QLabel(&dialog);
  preview->setObjectName(QStringLiteral("preview"));
  preview->setAlignment(Qt::AlignCenter);
  preview->setMinimumSize(model.preview.width + 16, model.preview.height + 16);
  const int side = std::max(model.preview.width, model.preview.height) + 16;
  preview->setMinimumSize(side, side);
  auto* papers = new QComboBox(&dialog);
  papers->setObjectName(QStringLiteral("paper"));
  for (const std::string& name : model.papers) papers->addItem(QString::fromStdString(name));
  auto* placements = new QComboBox(&dialog);
  placements->setObjectName(QStringLiteral("placement"));
  for (const std::string& name : model.placements)
    placements->addItem(QString::fromStdString(name));
  auto* details = new QLabel(&dialog);
  details->setObjectName(QStringLiteral("details"));
  auto* warning = new QLabel(&dialog);
  warning->setObjectName(QStringLiteral("warning"));
  warning->setWordWrap(true);
  warning->setStyleSheet(QStringLiteral("color: #a33;"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  buttons->button(QDialogButtonBox::Ok)->setText(QString::fromStdString(model.printLabel));
  buttons->button(QDialogButtonBox::Cancel)->setText(QString::fromStdString(model.cancelLabel));
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

  const auto show = [&] {
    preview->setPixmap(PreviewPixmap(model.preview));
    details->setText(QString::fromStdString(model.details));
    warning->setText(QString::fromStdString(model.warning));
    warning->setVisible(!model.warning.empty());
  };
  papers->setCurrentIndex(int(model.paper));
  placements->setCurrentIndex(int(model.placement));
  show();
  const auto changed = [&] {
    model.paper = size_t(std::max(0, papers->currentIndex()));
    model.placement = size_t(std::max(0, placements->currentIndex()));
    handler.PageSetupChanged(model);
    show();
  };
  QObject::connect(papers, qOverload<int>(&QComboBox::currentIndexChanged), &dialog, changed);
  QObject::connect(placements, qOverload<int>(&QComboBox::currentIndexChanged), &dialog, changed);

  auto* form = new QFormLayout;
  form->addRow(QString::fromStdString(model.paperLabel), papers);
  form->addRow(QString::fromStdString(model.placementLabel), placements);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(preview, 1);
  layout->addWidget(details);
  layout->addWidget(warning);
  layout->addLayout(form);
  layout->addWidget(buttons);

  BeginModal();
  const bool accepted = dialog.exec() == QDialog::Accepted;
  EndModal();
  return accepted;
}

}  // namespace platform::qt
