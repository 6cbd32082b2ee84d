#include "TestImages.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include <jpeglib.h>

namespace testimages {

namespace {

void AppendToVector(png_structp png, png_bytep data, size_t count) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + count);
}

void FlushNothing(png_structp) {}

uint8_t To8Bit(uint16_t sample, int bitDepth) {
  if (bitDepth == 16) return uint8_t(sample >> 8);
  if (bitDepth == 8) return uint8_t(sample);
  return uint8_t(sample * 255 / ((1 << bitDepth) - 1));
}

std::vector<uint8_t> PackRow(const PngPicture& p, uint32_t y) {
  const int channels = Channels(p.colourType);
  const size_t count = size_t(p.width) * channels;
  const uint16_t* samples = p.samples.data() + y * count;
  std::vector<uint8_t> row;
  if (p.bitDepth == 16) {
    for (size_t i = 0; i < count; ++i) {
      row.push_back(uint8_t(samples[i] >> 8));
      row.push_back(uint8_t(samples[i]));
    }
  } else if (p.bitDepth == 8) {
    for (size_t i = 0; i < count; ++i) row.push_back(uint8_t(samples[i]));
  } else {
    row.assign((count * p.bitDepth + 7) / 8, 0);
    for (size_t i = 0; i < count; ++i) {
      const size_t bit = i * p.bitDepth;
      row[bit / 8] |= uint8_t(samples[i] << (8 - p.bitDepth - bit % 8));
    }
  }
  return row;
}

}  // namespace

int Channels(int colourType) {
  switch (colourType) {
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
    default: return 1;
  }
}

PngPicture MakePngPicture(int colourType, int bitDepth, uint32_t width, uint32_t height,
                          bool withTrns) {
  PngPicture p;
  p.width = width;
  p.height = height;
  p.colourType = colourType;
  p.bitDepth = bitDepth;
  const uint32_t top = (1u << bitDepth) - 1;
  const int channels = Channels(colourType);
  // Every channel walks the range at its own pace, so channels never agree
  // by accident and the extremes (0 and top) both appear.
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      for (int c = 0; c < channels; ++c) {
        const uint64_t step = uint64_t(x) * (2 * c + 1) + uint64_t(y) * (7 + c) + c * 3;
        uint64_t value = (step * 2654435761u + c) % (uint64_t(top) + 1);
        if (x == 0 && y == 0) value = 0;
        if (x == 1 && y == 0) value = top;
        p.samples.push_back(uint16_t(value));
      }
    }
  }
  if (colourType == PNG_COLOR_TYPE_PALETTE) {
    const uint32_t entries = top + 1;
    for (uint32_t i = 0; i < entries; ++i) {
      p.paletteRgb.push_back(uint8_t(i * 37 + 11));
      p.paletteRgb.push_back(uint8_t(255 - i * 13));
      p.paletteRgb.push_back(uint8_t(i * 101 + 3));
    }
    if (withTrns) {
      for (uint32_t i = 0; i < entries && i < 200; ++i) p.paletteAlpha.push_back(uint8_t(i * 59));
    }
  }
  return p;
}

std::vector<uint8_t> EncodePng(const PngPicture& p) {
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) throw std::runtime_error("test PNG encoding failed");
  png_set_write_fn(png, &out, AppendToVector, FlushNothing);
  png_set_IHDR(png, info, p.width, p.height, p.bitDepth, p.colourType,
               p.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> palette;
  for (size_t i = 0; i + 2 < p.paletteRgb.size(); i += 3) {
    palette.push_back(png_color{p.paletteRgb[i], p.paletteRgb[i + 1], p.paletteRgb[i + 2]});
  }
  if (!palette.empty()) png_set_PLTE(png, info, palette.data(), int(palette.size()));
  if (!p.paletteAlpha.empty()) {
    png_set_tRNS(png, info, p.paletteAlpha.data(), int(p.paletteAlpha.size()), nullptr);
  }
  if (!p.keyColour.empty()) {
    png_color_16 key{};
    key.gray = p.keyColour[0];
    if (p.keyColour.size() == 3) {
      key.red = p.keyColour[0];
      key.green = p.keyColour[1];
      key.blue = p.keyColour[2];
    }
    png_set_tRNS(png, info, nullptr, 0, &key);
  }
  png_write_info(png, info);
  std::vector<std::vector<uint8_t>> rows;
  std::vector<png_bytep> pointers;
  for (uint32_t y = 0; y < p.height; ++y) rows.push_back(PackRow(p, y));
  for (auto& row : rows) pointers.push_back(row.data());
  png_write_image(png, pointers.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

std::vector<uint8_t> ExpectedPixels(const PngPicture& p, bool withAlpha) {
  const int channels = Channels(p.colourType);
  std::vector<uint8_t> out;
  for (size_t i = 0; i < size_t(p.width) * p.height; ++i) {
    const uint16_t* s = p.samples.data() + i * channels;
    uint8_t r, g, b, a = 255;
    if (p.colourType == PNG_COLOR_TYPE_PALETTE) {
      r = p.paletteRgb[s[0] * 3];
      g = p.paletteRgb[s[0] * 3 + 1];
      b = p.paletteRgb[s[0] * 3 + 2];
      if (s[0] < p.paletteAlpha.size()) a = p.paletteAlpha[s[0]];
    } else if (channels <= 2) {
      r = g = b = To8Bit(s[0], p.bitDepth);
      if (channels == 2) a = To8Bit(s[1], p.bitDepth);
    } else {
      r = To8Bit(s[0], p.bitDepth);
      g = To8Bit(s[1], p.bitDepth);
      b = To8Bit(s[2], p.bitDepth);
      if (channels == 4) a = To8Bit(s[3], p.bitDepth);
    }
    out.push_back(r);
    out.push_back(g);
    out.push_back(b);
    if (withAlpha) out.push_back(a);
  }
  return out;
}

std::vector<uint8_t> EncodeRgbPng(const uint8_t* pixels, uint32_t width, uint32_t height,
                                  bool alpha) {
  PngPicture p;
  p.width = width;
  p.height = height;
  p.colourType = alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
  p.samples.assign(pixels, pixels + size_t(width) * height * (alpha ? 4 : 3));
  return EncodePng(p);
}

void PutBigEndian32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v >> 24);
  p[1] = uint8_t(v >> 16);
  p[2] = uint8_t(v >> 8);
  p[3] = uint8_t(v);
}

uint32_t GetBigEndian32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

std::vector<PngChunk> ListPngChunks(const std::vector<uint8_t>& png) {
  std::vector<PngChunk> chunks;
  size_t pos = 8;
  while (pos + 12 <= png.size()) {
    PngChunk chunk;
    chunk.offset = uint32_t(pos);
    chunk.length = GetBigEndian32(&png[pos]);
    chunk.name.assign(reinterpret_cast<const char*>(&png[pos + 4]), 4);
    chunks.push_back(chunk);
    pos += size_t(chunk.length) + 12;
  }
  return chunks;
}

void InsertPngChunk(std::vector<uint8_t>* png, size_t before, const std::string& name,
                    uint32_t declaredLength, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> chunk(8);
  PutBigEndian32(chunk.data(), declaredLength);
  std::copy(name.begin(), name.end(), chunk.begin() + 4);
  chunk.insert(chunk.end(), data.begin(), data.end());
  uLong crc = crc32(0, chunk.data() + 4, uInt(chunk.size() - 4));
  chunk.resize(chunk.size() + 4);
  PutBigEndian32(chunk.data() + chunk.size() - 4, uint32_t(crc));
  const uint32_t at = ListPngChunks(*png)[before].offset;
  png->insert(png->begin() + at, chunk.begin(), chunk.end());
}

std::vector<uint8_t> ZeroGreyPng(uint32_t width, uint32_t height, int bitDepth, bool interlaced) {
  const size_t rowBytes = 1 + (size_t(width) * bitDepth + 7) / 8;
  std::vector<uint8_t> row(rowBytes, 0);
  // All zeros, filter bytes included: only the total length depends on
  // how the rows are laid out.
  uint64_t total = uint64_t(height) * rowBytes;
  if (interlaced) {
    total = 0;
    for (int pass = 0; pass < 7; ++pass) {
      const uint64_t columns = PNG_PASS_COLS(uint64_t(width), pass);
      const uint64_t rows = PNG_PASS_ROWS(uint64_t(height), pass);
      if (columns != 0) total += rows * (1 + (columns * bitDepth + 7) / 8);
    }
  }
  z_stream z{};
  deflateInit(&z, Z_BEST_SPEED);
  std::vector<uint8_t> idat(1 << 16);
  size_t used = 0;
  auto pump = [&](int flush) {
    do {
      if (idat.size() - used < 4096) idat.resize(idat.size() * 2);
      z.next_out = idat.data() + used;
      z.avail_out = uInt(idat.size() - used);
      deflate(&z, flush);
      used = idat.size() - z.avail_out;
    } while (z.avail_out == 0 || (flush == Z_FINISH && z.avail_in > 0));
  };
  for (uint64_t fed = 0; fed < total; fed += row.size()) {
    z.next_in = row.data();
    z.avail_in = uInt(std::min<uint64_t>(row.size(), total - fed));
    pump(Z_NO_FLUSH);
  }
  int status;
  do {
    if (idat.size() - used < 4096) idat.resize(idat.size() * 2);
    z.next_out = idat.data() + used;
    z.avail_out = uInt(idat.size() - used);
    status = deflate(&z, Z_FINISH);
    used = idat.size() - z.avail_out;
  } while (status != Z_STREAM_END);
  deflateEnd(&z);
  idat.resize(used);

  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  auto addChunk = [&](const char* name, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> chunk(8);
    PutBigEndian32(chunk.data(), uint32_t(data.size()));
    std::copy(name, name + 4, chunk.begin() + 4);
    chunk.insert(chunk.end(), data.begin(), data.end());
    uLong crc = crc32(0, chunk.data() + 4, uInt(chunk.size() - 4));
    chunk.resize(chunk.size() + 4);
    PutBigEndian32(chunk.data() + chunk.size() - 4, uint32_t(crc));
    png.insert(png.end(), chunk.begin(), chunk.end());
  };
  std::vector<uint8_t> ihdr(13, 0);
  PutBigEndian32(&ihdr[0], width);
  PutBigEndian32(&ihdr[4], height);
  ihdr[8] = uint8_t(bitDepth);
  ihdr[12] = interlaced ? 1 : 0;
  addChunk("IHDR", ihdr);
  addChunk("IDAT", idat);
  addChunk("IEND", {});
  return png;
}

std::vector<uint8_t> SyntheticPhoto(uint32_t width, uint32_t height, int components) {
  std::vector<uint8_t> pixels(size_t(width) * height * components);
  uint32_t noise = 12345;
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      noise = noise * 1664525u + 1013904223u;
      const int grain = int(noise >> 28) - 8;
      for (int c = 0; c < components; ++c) {
        int v = int((x * (100 + 50 * c)) / (width + 1) + (y * (150 - 40 * c)) / (height + 1));
        v += ((x / 16 + y / 16) % 2) * 20 + grain;
        pixels[(size_t(y) * width + x) * components + c] = uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
      }
    }
  }
  return pixels;
}

std::vector<uint8_t> EncodeJpeg(const uint8_t* pixels, uint32_t width, uint32_t height,
                                int components, const JpegOptions& options) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = width;
  cinfo.image_height = height;
  cinfo.input_components = components;
  cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 4 ? JCS_CMYK : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  if (components == 4 && options.ycck) jpeg_set_colorspace(&cinfo, JCS_YCCK);
  jpeg_set_quality(&cinfo, options.quality, TRUE);
  if (components == 3) {
    cinfo.comp_info[0].h_samp_factor = options.lumaWidth;
    cinfo.comp_info[0].v_samp_factor = options.lumaHeight;
  }
  cinfo.restart_in_rows = options.restartRows;
  if (options.progressive) jpeg_simple_progression(&cinfo);
  std::vector<jpeg_scan_info> script;
  if (options.scanCount > 0) {
    jpeg_scan_info dc{};
    dc.comps_in_scan = cinfo.num_components;
    for (int c = 0; c < cinfo.num_components; ++c) dc.component_index[c] = c;
    script.push_back(dc);
    for (int k = 1; k < 64; ++k) {
      for (int c = 0; c < cinfo.num_components; ++c) {
        if (int(script.size()) >= options.scanCount) break;
        jpeg_scan_info ac{};
        ac.comps_in_scan = 1;
        ac.component_index[0] = c;
        ac.Ss = k;
        ac.Se = k;
        script.push_back(ac);
      }
    }
    cinfo.scan_info = script.data();
    cinfo.num_scans = int(script.size());
  }
  jpeg_start_compress(&cinfo, TRUE);
  if (!options.exif.empty()) {
    std::vector<uint8_t> segment = {'E', 'x', 'i', 'f', 0, 0};
    segment.insert(segment.end(), options.exif.begin(), options.exif.end());
    jpeg_write_marker(&cinfo, JPEG_APP0 + 1, segment.data(), unsigned(segment.size()));
  }
  std::vector<JSAMPROW> rows(height);
  for (uint32_t y = 0; y < height; ++y) {
    rows[y] = const_cast<uint8_t*>(pixels) + size_t(y) * width * components;
  }
  jpeg_write_scanlines(&cinfo, rows.data(), height);
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::vector<uint8_t> out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

std::vector<uint8_t> ReferenceJpegDecode(const std::vector<uint8_t>& jpeg, uint32_t* width,
                                         uint32_t* height, int* components) {
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, jpeg.data(), jpeg.size());
  jpeg_read_header(&cinfo, TRUE);
  jpeg_start_decompress(&cinfo);
  *width = cinfo.output_width;
  *height = cinfo.output_height;
  *components = cinfo.output_components;
  const size_t stride = size_t(*width) * *components;
  std::vector<uint8_t> out(stride * *height);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = out.data() + cinfo.output_scanline * stride;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return out;
}

std::vector<uint8_t> ExifBlock(int orientation, bool bigEndian) {
  std::vector<uint8_t> tiff;
  auto u16 = [&](uint32_t v) {
    if (bigEndian) {
      tiff.push_back(uint8_t(v >> 8));
      tiff.push_back(uint8_t(v));
    } else {
      tiff.push_back(uint8_t(v));
      tiff.push_back(uint8_t(v >> 8));
    }
  };
  auto u32 = [&](uint32_t v) {
    if (bigEndian) {
      u16(v >> 16);
      u16(v & 0xFFFF);
    } else {
      u16(v & 0xFFFF);
      u16(v >> 16);
    }
  };
  tiff.push_back(bigEndian ? 'M' : 'I');
  tiff.push_back(bigEndian ? 'M' : 'I');
  u16(42);
  u32(8);
  const uint16_t entries = orientation != 0 ? 3 : 2;
  const uint32_t strings = 8 + 2 + 12 * entries + 4;
  u16(entries);
  u16(0x010F);  // Make, ASCII, 6 bytes after the directory
  u16(2);
  u32(6);
  u32(strings);
  if (orientation != 0) {
    u16(0x0112);
    u16(3);
    u32(1);
    u16(uint32_t(orientation));
    u16(0);
  }
  u16(0x0131);  // Software, ASCII, 4 bytes: held in the entry itself
  u16(2);
  u32(4);
  tiff.insert(tiff.end(), {'t', 'e', 's', 0});
  u32(0);  // no IFD1
  tiff.insert(tiff.end(), {'m', 'a', 'k', 'e', 'r', 0});
  return tiff;
}

std::vector<uint8_t> WithPngExif(std::vector<uint8_t> png, const std::vector<uint8_t>& tiff) {
  const std::vector<PngChunk> chunks = ListPngChunks(png);
  size_t idat = 0;
  while (idat < chunks.size() && chunks[idat].name != "IDAT") ++idat;
  InsertPngChunk(&png, idat, "eXIf", uint32_t(tiff.size()), tiff);
  return png;
}

std::vector<uint8_t> TurnedUpright(const std::vector<uint8_t>& rgb, uint32_t width,
                                   uint32_t height, int orientation, uint32_t* uprightWidth,
                                   uint32_t* uprightHeight) {
  const bool across = orientation >= 5 && orientation <= 8;
  const uint32_t uw = across ? height : width;
  const uint32_t uh = across ? width : height;
  std::vector<uint8_t> out(rgb.size());
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      uint32_t tx = x, ty = y;  // where stored pixel (x, y) is seen
      switch (orientation) {
        case 2: tx = width - 1 - x; break;
        case 3: tx = width - 1 - x; ty = height - 1 - y; break;
        case 4: ty = height - 1 - y; break;
        case 5: tx = y; ty = x; break;
        case 6: tx = height - 1 - y; ty = x; break;
        case 7: tx = height - 1 - y; ty = width - 1 - x; break;
        case 8: tx = y; ty = width - 1 - x; break;
        default: break;
      }
      for (int c = 0; c < 3; ++c) {
        out[(size_t(ty) * uw + tx) * 3 + c] = rgb[(size_t(y) * width + x) * 3 + c];
      }
    }
  }
  *uprightWidth = uw;
  *uprightHeight = uh;
  return out;
}

namespace {

// Runs deflate over `in` with `flush`, appending everything it gives.
void DeflateInto(z_stream* z, const uint8_t* in, size_t size, int flush,
                 std::vector<uint8_t>* out) {
  z->next_in = const_cast<uint8_t*>(in);
  z->avail_in = uInt(size);
  uint8_t buffer[1 << 16];
  int status = Z_OK;
  do {
    z->next_out = buffer;
    z->avail_out = sizeof buffer;
    status = deflate(z, flush);
    out->insert(out->end(), buffer, buffer + (sizeof buffer - z->avail_out));
  } while (z->avail_out == 0 || (flush == Z_FINISH && status != Z_STREAM_END));
}

}  // namespace

std::vector<uint8_t> PngWithTrailingZeros(uint32_t width, uint32_t height, uint64_t zeroBytes) {
  const std::vector<uint8_t> pixels = SyntheticPhoto(width, height, 3);
  std::vector<uint8_t> raw;
  for (uint32_t y = 0; y < height; ++y) {
    raw.push_back(0);
    raw.insert(raw.end(), pixels.begin() + size_t(y) * width * 3,
               pixels.begin() + size_t(y + 1) * width * 3);
  }
  z_stream z{};
  deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
  std::vector<uint8_t> stream = {0x78, 0xDA};
  DeflateInto(&z, raw.data(), raw.size(), Z_SYNC_FLUSH, &stream);
  uLong adler = adler32(adler32(0, nullptr, 0), raw.data(), uInt(raw.size()));

  constexpr size_t kPiece = 1 << 20;
  const std::vector<uint8_t> zeros(kPiece, 0);
  const uLong zerosAdler = adler32(adler32(0, nullptr, 0), zeros.data(), uInt(kPiece));
  uint64_t left = zeroBytes;
  if (left % kPiece != 0) {
    const size_t part = size_t(left % kPiece);
    DeflateInto(&z, zeros.data(), part, Z_SYNC_FLUSH, &stream);
    adler = adler32(adler, zeros.data(), uInt(part));
    left -= part;
  }
  // Once the window holds nothing but zeros, each further MiB of zeros
  // compresses to the same bytes: make two and repeat the second.
  std::vector<uint8_t> previous, piece;
  while (left > 0) {
    if (piece.empty() || piece != previous) {
      previous = piece;
      piece.clear();
      DeflateInto(&z, zeros.data(), kPiece, Z_SYNC_FLUSH, &piece);
    }
    stream.insert(stream.end(), piece.begin(), piece.end());
    adler = adler32_combine(adler, zerosAdler, kPiece);
    left -= kPiece;
  }
  // The repeated pieces were not fed through this stream, but deflate's
  // state after a piece of zeros does not depend on how many came before.
  DeflateInto(&z, nullptr, 0, Z_FINISH, &stream);
  deflateEnd(&z);
  for (int shift = 24; shift >= 0; shift -= 8) stream.push_back(uint8_t(adler >> shift));

  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  auto addChunk = [&](const char* name, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> chunk(8);
    PutBigEndian32(chunk.data(), uint32_t(data.size()));
    std::copy(name, name + 4, chunk.begin() + 4);
    chunk.insert(chunk.end(), data.begin(), data.end());
    const uLong crc = crc32(0, chunk.data() + 4, uInt(chunk.size() - 4));
    chunk.resize(chunk.size() + 4);
    PutBigEndian32(chunk.data() + chunk.size() - 4, uint32_t(crc));
    png.insert(png.end(), chunk.begin(), chunk.end());
  };
  std::vector<uint8_t> ihdr(13, 0);
  PutBigEndian32(&ihdr[0], width);
  PutBigEndian32(&ihdr[4], height);
  ihdr[8] = 8;
  ihdr[9] = PNG_COLOR_TYPE_RGB;
  addChunk("IHDR", ihdr);
  addChunk("IDAT", stream);
  addChunk("IEND", {});
  return png;
}

#ifdef _WIN32
TempFolder::TempFolder() {
  // No mkdtemp: a random name, taken only if no one has it yet.
  std::random_device random;
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path candidate = base / ("tessary-codec-" + std::to_string(random()));
    std::error_code error;
    if (std::filesystem::create_directory(candidate, error)) {
      path_ = candidate.generic_string();
      return;
    }
  }
  throw std::runtime_error("no temporary folder");
}
#else
TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tessary-codec-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}
#endif

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> TempFolder::Names() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path_)) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

}  // namespace testimages
