#include "imagefiles/ReadPictureFile.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "engine/raster/Raster.h"
#include "imagefiles/OpenedFile.h"
#include "imagefiles/PictureKind.h"
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


// --- WebP: one RIFF chunk, whose length says where the file ends ---------------

// The picture's size as the first chunk after "WEBP" declares it: VP8X's
// canvas, a lossy frame's header or a lossless one's; 0 x 0 when unknown.
void WebpDeclaredSize(Walk& walk, uint64_t* width, uint64_t* height) {
  *width = *height = 0;
  if (!walk.Have(12 + 8 + 10)) return;
  const uint8_t* chunk = walk.At(12);
  const uint8_t* data = chunk + 8;
  if (std::memcmp(chunk, "VP8X", 4) == 0) {
    *width = 1 + (uint64_t(data[4]) | uint64_t(data[5]) << 8 | uint64_t(data[6]) << 16);
    *height = 1 + (uint64_t(data[7]) | uint64_t(data[8]) << 8 | uint64_t(data[9]) << 16);
  } else if (std::memcmp(chunk, "VP8 ", 4) == 0) {
    // A three-byte frame tag, the start code, then 14-bit width and height.
    *width = (uint64_t(data[6]) | uint64_t(data[7]) << 8) & 0x3FFF;
    *height = (uint64_t(data[8]) | uint64_t(data[9]) << 8) & 0x3FFF;
  } else if (std::memcmp(chunk, "VP8L", 4) == 0) {
    const uint32_t bits = LittleEndian32(data + 1);
    *width = 1 + (bits & 0x3FFF);
    *height = 1 + ((bits >> 14) & 0x3FFF);
  }
}

ImageStatus WalkWebp(Walk& walk) {
  uint64_t width = 0, height = 0;
  WebpDeclaredSize(walk, &width, &height);
  if (width * height > engine::kMaxRasterPixels) {
    return ImageStatus::TooLarge(uint32_t(width), uint32_t(height));
  }
  const uint64_t riffEnd = 8 + uint64_t(LittleEndian32(walk.At(4)));
  // Lossless data at worst a little over 4 bytes a pixel; lossy far less.
  const uint64_t limit = width * height * 5 + kMaxPictureExtras;
  if (riffEnd > limit) return ExtraData();
  walk.Reserve(riffEnd);
  walk.Have(riffEnd);
  walk.Keep(riffEnd);
  return ImageStatus();
}

// --- TIFF: the first directory and what it points at ----------------------------

class TiffReader {
 public:
  TiffReader(Walk& walk, bool bigEndian, bool big) : walk_(walk), bigEndian_(bigEndian), big_(big) {}

  bool Have(uint64_t end) { return end <= kReadableEnd && walk_.Have(end); }
  uint64_t Get(uint64_t at, int bytes) const {
    const uint8_t* p = walk_.At(at);
    uint64_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= uint64_t(p[bigEndian_ ? bytes - 1 - i : i]) << (8 * i);
    return v;
  }
  bool Big() const { return big_; }
  // Directory and tag data beyond this is refused before it is read.
  static constexpr uint64_t kReadableEnd = uint64_t(1) << 40;

 private:
  Walk& walk_;
  bool bigEndian_;
  bool big_;
};

int TiffTypeSize(uint64_t type) {
  switch (type) {
    case 1: case 2: case 6: case 7: return 1;   // bytes, ASCII, undefined
    case 3: case 8: return 2;                    // shorts
    case 4: case 9: case 11: case 13: return 4;  // longs, float, IFD
    case 5: case 10: case 12: case 16: case 17: case 18: return 8;  // rationals, double, long8
    default: return 0;
  }
}

struct TiffEntry {
  uint64_t tag = 0, type = 0, count = 0;
  uint64_t valueAt = 0;  // where the values are: in the entry or elsewhere
  uint64_t bytes = 0;
};

ImageStatus WalkTiff(Walk& walk) {
  const bool bigEndian = walk.At(0)[0] == 'M';
  const bool big = walk.At(0)[bigEndian ? 3 : 2] == 43;  // BigTIFF
  TiffReader tiff(walk, bigEndian, big);
  const int offsetBytes = big ? 8 : 4;
  if (!tiff.Have(big ? 16 : 8)) return ImageStatus();
  const uint64_t directory = tiff.Get(big ? 8 : 4, offsetBytes);
  const int countBytes = big ? 8 : 2, entryBytes = big ? 20 : 12;
  uint64_t extras = 0, end = directory;
  // Writers often put the directory after the pictures' data, which is then
  // read first: at most what the largest picture the program takes (16-bit
  // RGBA) could hold uncompressed.
  if (directory > engine::kMaxRasterPixels * 8 + kMaxPictureExtras) return ExtraData();
  if (!tiff.Have(directory + countBytes)) return ImageStatus();
  const uint64_t entries = tiff.Get(directory, countBytes);
  const uint64_t entriesEnd = directory + countBytes + entries * entryBytes + offsetBytes;
  if (entries > 4096) return ImageStatus();  // libtiff gives up on such a directory
  if (!tiff.Have(entriesEnd)) return ImageStatus();
  end = entriesEnd;
  extras += entriesEnd - directory;
  uint64_t width = 0, height = 0, samples = 1, bits = 8;
  TiffEntry offsets, counts;
  for (uint64_t i = 0; i < entries; ++i) {
    const uint64_t at = directory + countBytes + i * entryBytes;
    TiffEntry e;
    e.tag = tiff.Get(at, 2);
    e.type = tiff.Get(at + 2, 2);
    e.count = tiff.Get(at + 4, big ? 8 : 4);
    const int size = TiffTypeSize(e.type);
    if (size == 0 || e.count > (uint64_t(1) << 40) / uint64_t(size)) continue;  // libtiff skips it
    e.bytes = e.count * uint64_t(size);
    const uint64_t field = at + (big ? 12 : 8);
    e.valueAt = e.bytes <= uint64_t(offsetBytes) ? field : tiff.Get(field, offsetBytes);
    const bool strile = e.tag == 273 || e.tag == 279 || e.tag == 324 || e.tag == 325;
    if (e.valueAt != field) {
      extras += e.bytes;
      if (extras > kMaxPictureExtras) return ExtraData();
      end = std::max(end, e.valueAt + e.bytes);
    }
    if (e.count == 1 && e.valueAt == field && !strile) {
      const uint64_t value = tiff.Get(field, size);
      if (e.tag == 256) width = value;
      if (e.tag == 257) height = value;
      if (e.tag == 277) samples = std::max<uint64_t>(value, 1);
    }
    // Bits per sample, once per sample: the first one is enough here.
    if (e.tag == 258 && e.count >= 1 && size == 2 && tiff.Have(e.valueAt + 2)) {
      bits = tiff.Get(e.valueAt, 2);
    }
    if (e.tag == 273 || e.tag == 324) offsets = e;
    if (e.tag == 279 || e.tag == 325) counts = e;
  }
  if (width * height > engine::kMaxRasterPixels) {
    return ImageStatus::TooLarge(uint32_t(width), uint32_t(height));
  }
  // The pictures' data: wherever the strips or tiles are, no more than the
  // picture can need in any compression.
  const uint64_t raw = width * height * samples * ((std::min<uint64_t>(bits, 64) + 7) / 8);
  const uint64_t maxImageData = raw * 4 + kMaxPictureExtras;
  if (offsets.count != 0 && offsets.count == counts.count) {
    if (!tiff.Have(std::max(offsets.valueAt + offsets.bytes, counts.valueAt + counts.bytes))) {
      return ImageStatus();
    }
    const int offsetSize = int(offsets.bytes / offsets.count), countSize = int(counts.bytes / counts.count);
    uint64_t data = 0;
    for (uint64_t i = 0; i < offsets.count; ++i) {
      const uint64_t start = tiff.Get(offsets.valueAt + i * offsetSize, offsetSize);
      const uint64_t length = tiff.Get(counts.valueAt + i * countSize, countSize);
      data += length;
      if (data > maxImageData || start > TiffReader::kReadableEnd) return ExtraData();
      end = std::max(end, start + length);
    }
  }
  if (end > maxImageData + kMaxPictureExtras) return ExtraData();
  walk.Reserve(end);
  walk.Have(end);
  walk.Keep(end);
  return ImageStatus();
}

// --- HEIF: top-level boxes, bounded by the pictures the meta box declares --------

// The largest and the total pixels of the pictures (`ispe`) among the
// item properties in a meta box's body [at, end).
void HeifDeclaredSizes(Walk& walk, uint64_t at, uint64_t end, int depth, uint64_t* largest,
                       uint32_t* largestWidth, uint32_t* largestHeight, uint64_t* total) {
  while (at + 8 <= end && depth < 4) {
    const uint64_t size = BigEndian32(walk.At(at));
    const uint8_t* type = walk.At(at + 4);
    if (size < 8 || at + size > end) return;
    if (std::memcmp(type, "iprp", 4) == 0 || std::memcmp(type, "ipco", 4) == 0) {
      HeifDeclaredSizes(walk, at + 8, at + size, depth + 1, largest, largestWidth, largestHeight,
                        total);
    } else if (std::memcmp(type, "ispe", 4) == 0 && size >= 20) {
      const uint32_t w = BigEndian32(walk.At(at + 12)), h = BigEndian32(walk.At(at + 16));
      const uint64_t pixels = uint64_t(w) * h;
      *total += pixels;
      if (pixels > *largest) *largest = pixels, *largestWidth = w, *largestHeight = h;
    }
    at += size;
  }
}

ImageStatus WalkHeif(Walk& walk) {
  uint64_t at = 0;
  // Until the meta box says what pictures there are: as much as the
  // largest picture the program takes could need.
  uint64_t limit = engine::kMaxRasterPixels * 4 + kMaxPictureExtras;
  uint64_t extras = 0;
  bool meta = false;
  while (walk.Have(at + 8)) {
    uint64_t size = BigEndian32(walk.At(at));
    uint64_t header = 8;
    if (size == 1) {
      if (!walk.Have(at + 16)) return ImageStatus();
      size = uint64_t(BigEndian32(walk.At(at + 8))) << 32 | BigEndian32(walk.At(at + 12));
      header = 16;
    } else if (size == 0) {
      size = UINT64_MAX - at;  // to the end of the file
    }
    if (size < header) return ImageStatus();  // libheif refuses it
    const bool isMeta = std::memcmp(walk.At(at + 4), "meta", 4) == 0;
    const bool isData = std::memcmp(walk.At(at + 4), "mdat", 4) == 0;
    if (!isData) {
      extras += std::min<uint64_t>(size, kMaxPictureExtras + 1);
      if (extras > kMaxPictureExtras) return ExtraData();
    }
    if (at > limit || size > limit - at) {
      if (size != UINT64_MAX - at) return ExtraData();
      // The last box runs to the file's end: only as far as the limit.
      walk.Have(limit + 1);
      return walk.Size() > limit ? ExtraData() : ImageStatus();
    }
    const uint64_t next = at + size;
    if (!walk.Have(next)) return ImageStatus();
    if (isMeta && !meta && size >= header + 4) {
      meta = true;
      uint64_t largest = 0, total = 0;
      uint32_t w = 0, h = 0;
      HeifDeclaredSizes(walk, at + header + 4, next, 0, &largest, &w, &h, &total);
      if (largest > engine::kMaxRasterPixels) return ImageStatus::TooLarge(w, h);
      // HEVC at worst about 4 bytes a pixel, pictures and thumbnails alike.
      limit = std::min(limit, total * 4 + kMaxPictureExtras);
      if (next > limit) return ExtraData();
    }
    at = next;
  }
  return ImageStatus();
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
    const PictureKind kind = SniffPicture(p, size);
    if (size >= 8 && std::memcmp(p, kPngSignature, 8) == 0) {
      uint64_t end = 0;
      status = WalkPng(walk, 0, UINT64_MAX, &end);
      if (status && end != 0) walk.Keep(end);
    } else if (kind == PictureKind::Jpeg) {
      status = WalkJpeg(walk);
    } else if (kind == PictureKind::Webp) {
      status = WalkWebp(walk);
    } else if (kind == PictureKind::Tiff) {
      status = WalkTiff(walk);
    } else if (kind == PictureKind::Heif) {
      status = WalkHeif(walk);
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
