#include "imagefiles/ReadPictureFile.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "engine/raster/Raster.h"
#include "imagefiles/OpenedFile.h"
#include "imagefiles/PngDataBound.h"

namespace imagefiles {

namespace {

using engine::ImageDetail;
using engine::ImageFailure;
using engine::ImageStatus;

constexpr size_t kPrefix = 32;
constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr char kLayoutMagic[] = "JQLayeredImage_1LAER";
constexpr size_t kEntropyBlock = 64 << 10;

uint32_t BigEndian32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

uint32_t LittleEndian32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

ImageStatus ExtraData() { return ImageStatus::Failed(ImageFailure::Damaged, ImageDetail::ExtraData); }

// The file's bytes so far, read on demand. Every walk below stops, without
// an error, where the file ends: the decoder then says what is missing.
class Walk {
 public:
  Walk(OpenedFile& file, std::vector<uint8_t>& bytes) : file_(file), bytes_(bytes) {}

  // Makes the first `end` bytes of the file present; false when the file
  // ends (or a read fails, see Status) before.
  bool Have(uint64_t end) {
    if (end <= bytes_.size()) return true;
    if (ended_) return false;
    // Never more room than the file had when opened (it may grow a little
    // while it is read): a length field cannot make us allocate.
    const uint64_t target = std::min<uint64_t>(end, file_.Size() + (64 << 10));
    const size_t had = bytes_.size();
    if (target <= had) {
      ended_ = true;
      return false;
    }
    bytes_.resize(size_t(target));
    int error = 0;
    const int64_t got = file_.Read(bytes_.data() + had, size_t(target) - had, &error);
    if (got < 0) {
      status_ = ImageStatus::Unreadable(error);
      bytes_.resize(had);
      ended_ = true;
      return false;
    }
    bytes_.resize(had + size_t(got));
    if (bytes_.size() < end) ended_ = true;
    return bytes_.size() >= end;
  }

  const uint8_t* At(uint64_t offset) const { return bytes_.data() + offset; }
  uint64_t Size() const { return bytes_.size(); }
  void Keep(uint64_t end) { bytes_.resize(size_t(std::min<uint64_t>(end, bytes_.size()))); }
  void Reserve(uint64_t bytes) {
    const uint64_t wanted = std::min<uint64_t>(bytes, file_.Size());
    if (wanted > bytes_.capacity()) bytes_.reserve(size_t(wanted));
  }
  const ImageStatus& Status() const { return status_; }

 private:
  OpenedFile& file_;
  std::vector<uint8_t>& bytes_;
  bool ended_ = false;
  ImageStatus status_;
};

bool IsChunkName(const uint8_t* p) {
  for (int i = 0; i < 4; ++i) {
    const uint8_t c = uint8_t(p[i] | 0x20);
    if (c < 'a' || c > 'z') return false;
  }
  return true;
}

int PngChannels(int colourType) {
  switch (colourType) {
    case 0: return 1;  // grey
    case 2: return 3;  // RGB
    case 3: return 1;  // palette
    case 4: return 2;  // grey and alpha
    case 6: return 4;  // RGBA
    default: return 0;
  }
}

// The PNG starting at `start` (its signature already present), chunk by
// chunk, no further than `limit`, up to and including IEND. `*end` is where
// the PNG ended (IEND's last byte + 1), or 0 when it did not end.
ImageStatus WalkPng(Walk& walk, uint64_t start, uint64_t limit, uint64_t* end) {
  *end = 0;
  uint64_t at = start + 8;
  uint64_t imageData = 0, otherData = 0, maxImageData = 0;
  bool header = false;
  while (at + 8 <= limit && walk.Have(at + 8)) {
    const uint32_t length = BigEndian32(walk.At(at));
    const uint8_t* name = walk.At(at + 4);
    // libpng refuses what is not a chunk; nothing after it matters.
    if (length > 0x7FFFFFFFu || !IsChunkName(name)) return ImageStatus();
    const bool ihdr = std::memcmp(name, "IHDR", 4) == 0;
    const bool idat = std::memcmp(name, "IDAT", 4) == 0;
    const bool iend = std::memcmp(name, "IEND", 4) == 0;
    if (!header) {
      // Everything is measured against the declared picture, so it must
      // come first; the decoder says what is wrong with it.
      if (!ihdr || length != 13) return ImageStatus();
      if (!walk.Have(at + 8 + 13)) return ImageStatus();
      const uint8_t* h = walk.At(at + 8);
      const uint32_t width = BigEndian32(h), height = BigEndian32(h + 4);
      if (uint64_t(width) * height > engine::kMaxRasterPixels) {
        return ImageStatus::TooLarge(width, height);  // what the decoder would say
      }
      // A header the decoder will refuse still bounds the data: as if it
      // were the largest kind of pixel, so the decoder gets to say what is
      // wrong with it.
      const int channels = PngChannels(h[9]);
      const int bitsPerPixel = channels == 0 || h[8] == 0 || h[8] > 16 ? 64 : h[8] * channels;
      uint64_t raw = 0, rows = 0;
      PngRawImageSize(width, height, bitsPerPixel, h[12] != 0, &raw, &rows);
      maxImageData = MaxPngImageData(raw, rows);
      walk.Reserve(maxImageData + (1 << 20));
      header = true;
    } else if (idat) {
      imageData += length;
      if (imageData > maxImageData) return ExtraData();
    } else {
      otherData += length;
      if (otherData > kMaxPictureExtras) return ExtraData();
    }
    const uint64_t next = at + 12 + length;
    if (next > limit || !walk.Have(next)) return ImageStatus();
    at = next;
    if (iend) {
      *end = at;
      return ImageStatus();
    }
  }
  return ImageStatus();
}

// Markers without a length: restarts, TEM and another start of image.
bool IsStandalone(uint8_t marker) {
  return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8);
}

enum class Found { Marker, End, TooFar };

// Moves `*at` to the next 0xFF that starts a marker: one followed by
// neither 0x00 (a stuffed byte in entropy-coded data) nor 0xFF (fill), nor,
// inside entropy-coded data, a restart marker. Whatever else lies between is
// passed over, as libjpeg skips it. Reads a block at a time.
Found NextMarker(Walk& walk, uint64_t* at, uint64_t limit, bool inScan) {
  for (;;) {
    const uint64_t size = walk.Size();
    if (size >= *at + 2) {
      const uint8_t* data = walk.At(0);
      while (*at + 1 < size) {
        const void* ff = std::memchr(data + *at, 0xFF, size_t(size - 1 - *at));
        if (ff == nullptr) {
          *at = size - 1;
          break;
        }
        *at = uint64_t(static_cast<const uint8_t*>(ff) - data);
        const uint8_t after = data[*at + 1];
        const bool restart = after >= 0xD0 && after <= 0xD7;
        if (after != 0x00 && after != 0xFF && !(inScan && restart)) return Found::Marker;
        ++*at;
      }
    }
    if (*at > limit) return Found::TooFar;
    walk.Have(std::max(size, *at + 2) + kEntropyBlock);
    if (walk.Size() == size) return Found::End;
  }
}

// The JPEG from the start of the file, segment by segment, up to and
// including its end-of-image marker.
ImageStatus WalkJpeg(Walk& walk) {
  uint64_t at = 2;
  uint64_t limit = kMaxPictureExtras;  // until a frame declares its size
  bool inScan = false;
  for (;;) {
    switch (NextMarker(walk, &at, limit, inScan)) {
      case Found::Marker:
        break;
      case Found::End:
        return ImageStatus();
      case Found::TooFar:
        return ExtraData();
    }
    if (at > limit) return ExtraData();
    inScan = false;
    const uint8_t marker = walk.At(at)[1];
    if (marker == 0xD9) {
      walk.Keep(at + 2);
      return ImageStatus();
    }
    if (IsStandalone(marker)) {
      at += 2;
      continue;
    }
    if (!walk.Have(at + 4)) return ImageStatus();
    const uint32_t length = uint32_t(walk.At(at)[2]) << 8 | walk.At(at)[3];
    if (length < 2) return ImageStatus();  // libjpeg refuses it
    const uint64_t body = at + 4;
    const uint64_t next = at + 2 + length;
    if (!walk.Have(next)) return ImageStatus();
    const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
                       marker != 0xCC;
    if (frame && length >= 8) {
      const uint8_t* f = walk.At(body);
      const uint64_t height = uint64_t(f[1]) << 8 | f[2];
      const uint64_t width = uint64_t(f[3]) << 8 | f[4];
      const uint64_t components = std::max<uint64_t>(f[5], 1);
      if (width * height > engine::kMaxRasterPixels) {
        return ImageStatus::TooLarge(uint32_t(width), uint32_t(height));  // as the decoder says
      }
      // Worst case of Huffman coding, about 6 bytes a pixel for three
      // components, with room for progressive files' refinement scans.
      const uint64_t padded = ((width + 15) & ~uint64_t(15)) * ((height + 15) & ~uint64_t(15));
      limit = std::max(limit, padded * 4 * components + kMaxPictureExtras);
      walk.Reserve(std::min<uint64_t>(limit, padded * components + (1 << 20)));
    }
    at = next;
    inScan = marker == 0xDA;  // entropy-coded data follows
  }
}

// One layer of a layout file: chunks from `start` to `end`.
ImageStatus WalkLayer(Walk& walk, uint64_t start, uint64_t end) {
  uint64_t at = start;
  uint64_t extras = 0;
  while (at + 8 <= end && walk.Have(at + 8)) {
    const uint8_t* tag = walk.At(at);
    const uint64_t length = LittleEndian32(walk.At(at + 4));
    const uint64_t next = at + ((8 + length + 3) & ~uint64_t(3));
    if (next > end) return ImageStatus();  // the container's reader says so
    const uint64_t data = at + 8;
    if (std::memcmp(tag, "DOCU", 4) == 0 && length >= 8 && walk.Have(data + 8) &&
        std::memcmp(walk.At(data), kPngSignature, 8) == 0) {
      uint64_t pngEnd = 0;
      const ImageStatus png = WalkPng(walk, data, data + length, &pngEnd);
      if (!png) return png;
      // A picture that does not end in its chunk: nothing more is read, and
      // the container's reader finds it damaged.
      if (pngEnd == 0) return ImageStatus();
      // Bytes after the picture's end, within its chunk, count as extras.
      extras += data + length - pngEnd;
    } else {
      extras += length;
    }
    if (extras > kMaxLayerExtras) return ExtraData();
    if (!walk.Have(next)) return ImageStatus();
    at = next;
  }
  return ImageStatus();
}

ImageStatus WalkLayout(Walk& walk) {
  const uint64_t firstEnd = 24 + ((uint64_t(LittleEndian32(walk.At(20))) + 3) & ~uint64_t(3));
  ImageStatus status = WalkLayer(walk, 24, firstEnd);
  if (!status || !walk.Have(firstEnd + 8)) return status;
  if (std::memcmp(walk.At(firstEnd), "LAER", 4) != 0) return status;
  const uint64_t secondEnd =
      firstEnd + 8 + ((uint64_t(LittleEndian32(walk.At(firstEnd + 4))) + 3) & ~uint64_t(3));
  status = WalkLayer(walk, firstEnd + 8, secondEnd);
  if (!status) return status;
  // One byte past the end, so that a longer file is seen to be one.
  walk.Have(secondEnd + 1);
  return status;
}

}  // namespace

ImageStatus ReadPictureFile(const std::string& path, std::vector<uint8_t>* bytes,
                            engine::FileStamp* stamp) {
  bytes->clear();
  try {
    OpenedFile file;
    const ImageStatus opened = file.Open(path);
    if (!opened) return opened;
    if (stamp != nullptr) {
      stamp->size = file.Size();
      stamp->modifiedNs = file.ModifiedSeconds() * 1000000000 + file.ModifiedNanoseconds();
    }
    Walk walk(file, *bytes);
    walk.Have(kPrefix);
    ImageStatus status;
    const uint8_t* p = bytes->data();
    const size_t size = bytes->size();
    if (size >= 8 && std::memcmp(p, kPngSignature, 8) == 0) {
      uint64_t end = 0;
      status = WalkPng(walk, 0, UINT64_MAX, &end);
      if (status && end != 0) walk.Keep(end);
    } else if (size >= 2 && p[0] == 0xFF && p[1] == 0xD8) {
      status = WalkJpeg(walk);
    } else if (size >= kPrefix && std::memcmp(p, kLayoutMagic, 20) == 0) {
      status = WalkLayout(walk);
    }
    if (!walk.Status()) return walk.Status();
    if (bytes->size() > UINT32_MAX) return ExtraData();  // sizes are 32-bit downstream
    return status;
  } catch (const std::bad_alloc&) {
    return ImageStatus::Failed(ImageFailure::OutOfMemory);
  }
}

}  // namespace imagefiles
