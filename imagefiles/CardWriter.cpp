#include "imagefiles/CardWriter.h"

#include <memory>
#include <new>

#include "engine/compose/CardCompositor.h"
#include "imagefiles/JpegCardWriter.h"
#include "imagefiles/PngCardWriter.h"
#include "imagefiles/SafeOutputFile.h"

namespace imagefiles {

namespace {

// Pointers into the caller's card; neither library writes through them.
std::unique_ptr<uint8_t*[]> RowTable(const uint8_t* pixels, uint32_t height, uint32_t stride) {
  std::unique_ptr<uint8_t*[]> rows(new uint8_t*[height]);
  for (uint32_t y = 0; y < height; ++y) {
    rows[y] = const_cast<uint8_t*>(pixels) + size_t(y) * stride;
  }
  return rows;
}

SaveResult OutOfMemory(SaveStep step) {
  return SaveResult::Failed(step, std::make_error_code(std::errc::not_enough_memory));
}

}  // namespace

SaveResult WriteCard(const OutputTarget& target, CardFormat format, const uint8_t* pixels,
                     uint32_t width, uint32_t height, uint32_t stride) {
  if (pixels == nullptr || width == 0 || height == 0 || uint64_t(stride) < uint64_t(width) * 3) {
    return SaveResult::Failed(SaveStep::Card, SaveError::BadCard);
  }
  // Refused before the target is opened, so nothing is created for it.
  if (format == CardFormat::Jpeg && (width > kMaxJpegSide || height > kMaxJpegSide)) {
    return SaveResult::Failed(SaveStep::Card, SaveError::TooLargeForJpeg);
  }
  try {
    std::unique_ptr<uint8_t*[]> rows = RowTable(pixels, height, stride);
    SafeOutputFile file;
    if (!file.Open(target)) return file.Failure();
    const SaveResult encoded = format == CardFormat::Jpeg
                                   ? WriteJpegCard(&file, rows.get(), width, height)
                                   : WritePngCard(&file, rows.get(), width, height);
    // An unfinished file is removed when `file` ends.
    if (!encoded) file.Fail(encoded);
    return file.Commit();
  } catch (const std::bad_alloc&) {
    return OutOfMemory(SaveStep::Encode);
  }
}

SaveResult RenderAndWriteCard(const engine::Card& card, uint32_t width, uint32_t height,
                              bool draft, const OutputTarget& target, CardFormat format) {
  size_t bytes = 0;
  if (!engine::CheckedRasterSize(width, height, engine::PixelFormat::Rgb24, &bytes)) {
    return SaveResult::Failed(SaveStep::Card, SaveError::BadCard);
  }
  const uint32_t stride = engine::CardImageStride(width);
  std::unique_ptr<uint8_t[]> pixels;
  try {
    // Every pixel is rendered, so the buffer needs no clearing first.
    pixels.reset(new uint8_t[size_t(stride) * height]);
    engine::RenderCard(card, int32_t(width), int32_t(height), pixels.get(), int32_t(stride),
                       draft);
  } catch (const std::bad_alloc&) {
    return OutOfMemory(SaveStep::Render);
  }
  return WriteCard(target, format, pixels.get(), width, height, stride);
}

bool WriteCardFile(const std::string& path, CardFormat format, const uint8_t* pixels,
                   uint32_t width, uint32_t height, uint32_t stride) {
  return WriteCard(path, format, pixels, width, height, stride).Ok();
}

bool RenderCardToFile(const engine::Card& card, uint32_t width, uint32_t height, bool draft,
                      const std::string& path, CardFormat format) {
  return RenderAndWriteCard(card, width, height, draft, path, format).Ok();
}

}  // namespace imagefiles
