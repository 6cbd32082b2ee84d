#include "imagefiles/PdfCardWriter.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <memory>
#include <new>
#include <string>

#include "imagefiles/JpegCardWriter.h"
#include "imagefiles/PdfWords.h"
#include "imagefiles/SafeOutputFile.h"

namespace imagefiles {

namespace {

constexpr double kCutMarkWidth = 0.5;  // points

struct SurfaceDeleter {
  void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct ContextDeleter {
  void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using Context = std::unique_ptr<cairo_t, ContextDeleter>;

cairo_status_t WriteToFile(void* closure, const unsigned char* data, unsigned int length) {
  return static_cast<SafeOutputFile*>(closure)->Write(data, length) ? CAIRO_STATUS_SUCCESS
                                                                    : CAIRO_STATUS_WRITE_ERROR;
}

SaveResult CairoFailure(cairo_status_t status) {
  if (status == CAIRO_STATUS_NO_MEMORY) {
    return SaveResult::Failed(SaveStep::Encode, std::make_error_code(std::errc::not_enough_memory));
  }
  return SaveResult::Failed(SaveStep::Encode, SaveError::EncoderFailed);
}

// The card's pixels for cairo. A PDF takes the JPEG instead, but cairo
// wants a picture behind the JPEG, and any surface that cannot use the
// JPEG falls back on these very pixels.
Surface CardSurface(const uint8_t* pixels, uint32_t width, uint32_t height, uint32_t stride) {
  Surface surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, int(width), int(height)));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return surface;
  cairo_surface_flush(surface.get());
  unsigned char* data = cairo_image_surface_get_data(surface.get());
  const int dataStride = cairo_image_surface_get_stride(surface.get());
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* in = pixels + size_t(y) * stride;
    uint32_t* out = reinterpret_cast<uint32_t*>(data + size_t(y) * size_t(dataStride));
    for (uint32_t x = 0; x < width; ++x, in += 3) {
      out[x] = (uint32_t(in[0]) << 16) | (uint32_t(in[1]) << 8) | uint32_t(in[2]);
    }
  }
  cairo_surface_mark_dirty(surface.get());
  return surface;
}

void DrawPage(cairo_t* cr, cairo_surface_t* card, uint32_t width, uint32_t height,
              const PdfPageLayout& layout, const text::VectorWords* words,
              const PdfWordParts* parts) {
  for (const PdfRect& place : layout.cards) {
    cairo_save(cr);
    cairo_translate(cr, place.x, place.y);
    cairo_scale(cr, place.width / width, place.height / height);
    cairo_set_source_surface(cr, card, 0, 0);
    cairo_rectangle(cr, 0, 0, width, height);
    cairo_fill(cr);
    cairo_restore(cr);
    if (words && parts) DrawPdfWords(cr, *words, *parts, place);
  }
  if (layout.cutMarks.empty()) return;
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_set_line_width(cr, kCutMarkWidth);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  for (const PdfLine& line : layout.cutMarks) {
    cairo_move_to(cr, line.x0, line.y0);
    cairo_line_to(cr, line.x1, line.y1);
  }
  cairo_stroke(cr);
}

}  // namespace

SaveResult WriteCardPdf(const OutputTarget& target, const uint8_t* pixels, uint32_t width,
                        uint32_t height, uint32_t stride, const CardEncoding& encoding,
                        double pixelsPerInch, const PdfPageOptions& page,
                        const text::VectorWords* words) {
  if (pixels == nullptr || width == 0 || height == 0 || uint64_t(stride) < uint64_t(width) * 3 ||
      !(pixelsPerInch > 0 && pixelsPerInch < 1e6)) {
    return SaveResult::Failed(SaveStep::Card, SaveError::BadCard);
  }
  // Refused before the target is opened, so nothing is created for it.
  if (width > kMaxPdfCardSide || height > kMaxPdfCardSide) {
    return SaveResult::Failed(SaveStep::Card, SaveError::TooLargeForPdf);
  }
  try {
    std::string jpeg;
    {
      std::unique_ptr<uint8_t*[]> rows(new uint8_t*[height]);
      for (uint32_t y = 0; y < height; ++y) {
        rows[y] = const_cast<uint8_t*>(pixels) + size_t(y) * stride;
      }
      const SaveResult encoded = EncodeJpegCard(&jpeg, rows.get(), width, height, encoding);
      if (!encoded) return encoded;
    }
    Surface card = CardSurface(pixels, width, height, stride);
    if (cairo_surface_status(card.get()) != CAIRO_STATUS_SUCCESS) {
      return CairoFailure(cairo_surface_status(card.get()));
    }
    // `jpeg` outlives the surfaces that refer to it.
    const cairo_status_t attached = cairo_surface_set_mime_data(
        card.get(), CAIRO_MIME_TYPE_JPEG, reinterpret_cast<const unsigned char*>(jpeg.data()),
        jpeg.size(), nullptr, nullptr);
    if (attached != CAIRO_STATUS_SUCCESS) return CairoFailure(attached);

    if (words && words->Empty()) words = nullptr;
    if (words && (words->width != width || words->height != height))
      return SaveResult::Failed(SaveStep::Card, SaveError::BadCard);
    std::unique_ptr<PdfWordParts> parts;
    if (words) {
      parts = std::make_unique<PdfWordParts>(*words);
      if (!parts->Ready()) return SaveResult::Failed(SaveStep::Encode, SaveError::EncoderFailed);
    }

    const double points = 72.0 / pixelsPerInch;
    const PdfPageLayout layout = PlaceCardOnPage(width * points, height * points, page);

    SafeOutputFile file;
    if (!file.Open(target)) return file.Failure();
    Surface pdf(cairo_pdf_surface_create_for_stream(WriteToFile, &file, layout.pageWidth,
                                                    layout.pageHeight));
    cairo_pdf_surface_set_metadata(pdf.get(), CAIRO_PDF_METADATA_CREATOR, "Tessary");
    {
      Context cr(cairo_create(pdf.get()));
      DrawPage(cr.get(), card.get(), width, height, layout, words, parts.get());
      if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS)
        file.Fail(CairoFailure(cairo_status(cr.get())));
    }
    cairo_surface_finish(pdf.get());
    const cairo_status_t finished = cairo_surface_status(pdf.get());
    // A write that failed is the file's own failure, recorded first; the
    // unfinished file is removed when `file` ends.
    if (finished != CAIRO_STATUS_SUCCESS) file.Fail(CairoFailure(finished));
    pdf.reset();
    // After the PDF, which reads the faces' files as it finishes.
    parts.reset();
    return file.Commit();
  } catch (const std::bad_alloc&) {
    return SaveResult::Failed(SaveStep::Encode, std::make_error_code(std::errc::not_enough_memory));
  }
}

}  // namespace imagefiles
