#include "imagefiles/CardWriter.h"

#include <memory>
#include <new>

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

}  // namespace

SaveResult WriteCard(const OutputTarget& target, CardFormat format, const uint8_t* pixels,
                     uint32_t width, uint32_t height, uint32_t stride) {
  return WriteCard(target, format, pixels, width, height, stride, CardEncoding());
}

SaveResult WriteCard(const OutputTarget& target, CardFormat format, const uint8_t* pixels,
                     uint32_t width, uint32_t height, uint32_t stride,
                     const CardEncoding& encoding) {
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
                                   ? WriteJpegCard(&file, rows.get(), width, height, encoding)
                                   : WritePngCard(&file, rows.get(), width, height, encoding);
    // An unfinished file is removed when `file` ends.
    if (!encoded) file.Fail(encoded);
    return file.Commit();
  } catch (const std::bad_alloc&) {
    return SaveResult::Failed(SaveStep::Encode,
                              std::make_error_code(std::errc::not_enough_memory));
  }
}

}  // namespace imagefiles
