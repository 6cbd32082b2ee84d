#include "imagefiles/DecodeTiff.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "engine/raster/TurnUpright.h"
#include "imagefiles/OverWhite.h"

namespace imagefiles {

namespace {

using engine::ImageDetail;
using engine::ImageFailure;
using engine::ImageStatus;

// No single allocation libtiff makes for a picture this program can hold
// (a strip of the largest photo as 16-bit samples) comes near this; a
// hostile directory that asks for more is refused before it is allocated.
constexpr tmsize_t kMaxSingleAllocation = tmsize_t(1) << 30;

// Rows the reader converts at a time, at least: whole strips (or tile rows)
// up to about this many.
constexpr uint32_t kChunkRows = 64;

// The file held in memory, as libtiff's client procedures see it.
struct MemoryFile {
  const uint8_t* data;
  uint64_t size;
  uint64_t position;
};

tmsize_t ReadProc(thandle_t handle, void* buffer, tmsize_t count) {
  auto* file = static_cast<MemoryFile*>(handle);
  if (count <= 0 || file->position >= file->size) return 0;
  const uint64_t n = std::min<uint64_t>(uint64_t(count), file->size - file->position);
  std::memcpy(buffer, file->data + file->position, size_t(n));
  file->position += n;
  return tmsize_t(n);
}

tmsize_t WriteProc(thandle_t, void*, tmsize_t) { return -1; }

toff_t SeekProc(thandle_t handle, toff_t offset, int whence) {
  auto* file = static_cast<MemoryFile*>(handle);
  uint64_t base = 0;
  if (whence == SEEK_CUR) base = file->position;
  if (whence == SEEK_END) base = file->size;
  // Positions past the end are allowed, as for a file; reads there give nothing.
  if (offset > UINT64_MAX - base) return toff_t(-1);
  file->position = base + offset;
  return file->position;
}

int CloseProc(thandle_t) { return 0; }

toff_t SizeProc(thandle_t handle) { return static_cast<MemoryFile*>(handle)->size; }

// The whole file is already in memory: libtiff reads strips in place.
int MapProc(thandle_t handle, void** base, toff_t* size) {
  auto* file = static_cast<MemoryFile*>(handle);
  *base = const_cast<uint8_t*>(file->data);
  *size = file->size;
  return 1;
}

void UnmapProc(thandle_t, void*, toff_t) {}

// libtiff reports errors as English text; only what the user is told
// depends on it, never whether a file loads.
struct Messages {
  std::string firstError;
};

int NoteError(TIFF*, void* user, const char*, const char* format, va_list args) {
  auto* messages = static_cast<Messages*>(user);
  if (messages->firstError.empty()) {
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    messages->firstError = text;
    if (messages->firstError.empty()) messages->firstError = "error";
  }
  return 1;  // handled: nothing goes to the standard error stream
}

int IgnoreWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

bool Mentions(const std::string& text, const char* words) {
  return text.find(words) != std::string::npos;
}

ImageStatus StatusOfLibtiffError(const std::string& message) {
  if (Mentions(message, "emory") || Mentions(message, "allocat")) {
    return ImageStatus::Failed(ImageFailure::OutOfMemory);
  }
  if (Mentions(message, "Sorry") || Mentions(message, "not supported") ||
      Mentions(message, "unsupported") || Mentions(message, "not implemented")) {
    return ImageStatus::Failed(ImageFailure::Unsupported);
  }
  if (Mentions(message, "Read error") || Mentions(message, "Not enough data") ||
      Mentions(message, "Premature") || Mentions(message, "past end") ||
      Mentions(message, "Seek error") || Mentions(message, "Cannot read")) {
    return ImageStatus::Failed(ImageFailure::Damaged, ImageDetail::EndsEarly);
  }
  return ImageStatus::Failed(ImageFailure::Damaged, ImageDetail::CorruptData);
}

struct TiffHandles {
  TIFFOpenOptions* options = nullptr;
  TIFF* tiff = nullptr;
  TIFFRGBAImage image{};
  bool imageBegun = false;
  ~TiffHandles() {
    if (imageBegun) TIFFRGBAImageEnd(&image);
    if (tiff) TIFFClose(tiff);
    if (options) TIFFOpenOptionsFree(options);
  }
};

}  // namespace

ImageStatus DecodeTiff(const uint8_t* data, uint32_t size, DecodeMode mode, engine::Raster* out,
                       engine::DecodeControl* control) {
  if (mode == DecodeMode::Rgba) return ImageStatus::Failed(ImageFailure::Unsupported, ImageDetail::NotPng);
  MemoryFile file{data, size, 0};
  Messages messages;
  TiffHandles h;
  h.options = TIFFOpenOptionsAlloc();
  if (h.options == nullptr) return ImageStatus::Failed(ImageFailure::OutOfMemory);
  TIFFOpenOptionsSetMaxSingleMemAlloc(h.options, kMaxSingleAllocation);
  TIFFOpenOptionsSetErrorHandlerExtR(h.options, NoteError, &messages);
  TIFFOpenOptionsSetWarningHandlerExtR(h.options, IgnoreWarning, nullptr);
  // "r": read only; "M" would stop the mapping, which is what we want used.
  h.tiff = TIFFClientOpenExt("photo", "r", &file, ReadProc, WriteProc, SeekProc, CloseProc,
                             SizeProc, MapProc, UnmapProc, h.options);
  if (h.tiff == nullptr) {
    return messages.firstError.empty() ? ImageStatus::Failed(ImageFailure::Damaged)
                                       : StatusOfLibtiffError(messages.firstError);
  }
  uint32_t width = 0, height = 0;
  TIFFGetField(h.tiff, TIFFTAG_IMAGEWIDTH, &width);
  TIFFGetField(h.tiff, TIFFTAG_IMAGELENGTH, &height);
  size_t bytes = 0;
  if (!engine::CheckedRasterSize(width, height, engine::PixelFormat::Rgb24, &bytes)) {
    return width == 0 || height == 0
               ? ImageStatus::Failed(ImageFailure::Damaged, ImageDetail::CorruptData)
               : ImageStatus::TooLarge(width, height);
  }
  char why[1024] = "";
  if (!TIFFRGBAImageOK(h.tiff, why)) return ImageStatus::Failed(ImageFailure::Unsupported);
  if (!TIFFRGBAImageBegin(&h.image, h.tiff, 1, why)) {
    return messages.firstError.empty() ? ImageStatus::Failed(ImageFailure::Unsupported)
                                       : StatusOfLibtiffError(messages.firstError);
  }
  h.imageBegun = true;
  // Rows as stored, top row first: the turn is ours to make, for every
  // orientation alike (libtiff would only flip).
  const int orientation = mode == DecodeMode::Photo ? h.image.orientation : 1;
  h.image.req_orientation = h.image.orientation;

  // Whole strips or tile rows at a time: a part of one would be decoded
  // again for every part.
  uint32_t unit = height;
  if (TIFFIsTiled(h.tiff)) {
    TIFFGetField(h.tiff, TIFFTAG_TILELENGTH, &unit);
  } else {
    TIFFGetFieldDefaulted(h.tiff, TIFFTAG_ROWSPERSTRIP, &unit);
  }
  unit = std::max<uint32_t>(1, std::min(unit, height));
  const uint32_t chunk = std::min(height, unit * std::max<uint32_t>(1, (kChunkRows + unit - 1) / unit));
  std::vector<uint32_t> rgba(size_t(width) * chunk);

  std::unique_ptr<engine::UprightBuilder> upright;
  engine::Raster raster;
  if (orientation >= 2 && orientation <= 8) {
    upright = std::make_unique<engine::UprightBuilder>(width, height, orientation, size_t(width) * 3);
  } else {
    raster = engine::Raster::Allocate(width, height, engine::PixelFormat::Rgb24);
  }
  for (uint32_t row = 0; row < height; row += chunk) {
    if (control != nullptr) {
      if (control->Cancelled()) return ImageStatus::Failed(ImageFailure::Cancelled);
      control->Progress(row, height);
    }
    const uint32_t rows = std::min(chunk, height - row);
    h.image.row_offset = int(row);
    h.image.col_offset = 0;
    if (!TIFFRGBAImageGet(&h.image, rgba.data(), width, rows)) {
      return messages.firstError.empty()
                 ? ImageStatus::Failed(ImageFailure::Damaged, ImageDetail::CorruptData)
                 : StatusOfLibtiffError(messages.firstError);
    }
    // libtiff's pixels are words of R, G, B, A bytes from the low end, with
    // the colour multiplied by alpha.
    for (uint32_t i = 0; i < rows;) {
      // Straight into the photo, or into the turning strip.
      const uint32_t n = upright ? std::min(rows - i, upright->RowsWanted()) : rows - i;
      uint8_t* to = upright ? upright->NextRows() : raster.Row(row + i);
      const size_t stride = upright ? upright->RowStride() : raster.Stride();
      for (uint32_t k = 0; k < n; ++k) {
        const uint32_t* words = rgba.data() + size_t(i + k) * width;
        uint8_t* target = to + size_t(k) * stride;
        for (uint32_t x = 0; x < width; ++x) {
          const uint32_t p = words[x];
          const uint32_t a = TIFFGetA(p);
          target[3 * x] = PremultipliedOverWhite(TIFFGetR(p), a);
          target[3 * x + 1] = PremultipliedOverWhite(TIFFGetG(p), a);
          target[3 * x + 2] = PremultipliedOverWhite(TIFFGetB(p), a);
        }
      }
      if (upright) upright->RowsDone(n);
      i += n;
    }
  }
  if (upright) {
    if (!upright->Complete()) return ImageStatus::Failed(ImageFailure::Damaged);
    raster = upright->Take();
  }
  out->Swap(raster);
  return ImageStatus();
}

}  // namespace imagefiles
