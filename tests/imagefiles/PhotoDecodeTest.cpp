// Photos decoded as people see them: turned upright, transparency over
// white, CMYK as browsers show it; and every failure says why.

#include <png.h>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#include <zlib.h>

#include <gtest/gtest.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <cerrno>
#include <cmath>
#include <cstring>
#include <string>

#include "TestImages.h"
#include "imagefiles/DecodeImage.h"
#include "imagefiles/ImageStatusText.h"
#include "imagefiles/ReadWholeFile.h"

namespace {

using engine::ImageDetail;
using engine::ImageFailure;
using engine::ImageStatus;
using engine::PixelFormat;
using engine::Raster;
using imagefiles::DecodeImage;
using imagefiles::DecodeMode;
using testimages::PngPicture;
using Bytes = std::vector<uint8_t>;

ImageStatus Decode(const Bytes& data, DecodeMode mode, Raster* out) {
  return DecodeImage(data.data(), uint32_t(data.size()), mode, out);
}

Bytes Pixels(const Raster& r) { return Bytes(r.pixels.get(), r.pixels.get() + r.ByteSize()); }

TEST(PhotoOrientation, JpegPhotosAreTurnedUprightForEveryValue) {
  const uint32_t w = 29, h = 18;  // odd, not a multiple of the JPEG blocks
  const Bytes photo = testimages::SyntheticPhoto(w, h, 3);
  const Bytes plain = testimages::EncodeJpeg(photo.data(), w, h, 3);
  uint32_t rw = 0, rh = 0;
  int components = 0;
  const Bytes stored = testimages::ReferenceJpegDecode(plain, &rw, &rh, &components);
  for (bool bigEndian : {false, true}) {
    for (int orientation = 1; orientation <= 8; ++orientation) {
      testimages::JpegOptions options;
      options.exif = testimages::ExifBlock(orientation, bigEndian);
      const Bytes tagged = testimages::EncodeJpeg(photo.data(), w, h, 3, options);
      uint32_t uw = 0, uh = 0;
      const Bytes upright = testimages::TurnedUpright(stored, w, h, orientation, &uw, &uh);
      Raster out;
      ASSERT_TRUE(Decode(tagged, DecodeMode::Photo, &out).Ok());
      EXPECT_EQ(out.width, uw);
      EXPECT_EQ(out.height, uh);
      EXPECT_EQ(Pixels(out), upright) << "orientation " << orientation;
      // The plain decode, used for the placeholder tile, never turns.
      ASSERT_TRUE(Decode(tagged, DecodeMode::Rgb, &out).Ok());
      EXPECT_EQ(Pixels(out), stored);
    }
  }
  // Without the tag a photo decodes to exactly the same pixels as before.
  Raster out;
  ASSERT_TRUE(Decode(plain, DecodeMode::Photo, &out).Ok());
  EXPECT_EQ(Pixels(out), stored);
}

TEST(PhotoOrientation, PngPhotosTakeItFromAnIntactExifChunkOnly) {
  PngPicture picture = testimages::MakePngPicture(PNG_COLOR_TYPE_RGB, 8, 7, 4);
  const Bytes plain = testimages::EncodePng(picture);
  const Bytes stored = testimages::ExpectedPixels(picture, false);
  const Bytes tagged = testimages::WithPngExif(plain, testimages::ExifBlock(6, true));
  uint32_t uw = 0, uh = 0;
  const Bytes upright = testimages::TurnedUpright(stored, 7, 4, 6, &uw, &uh);
  Raster out;
  ASSERT_TRUE(Decode(tagged, DecodeMode::Photo, &out).Ok());
  EXPECT_EQ(out.width, 4u);
  EXPECT_EQ(Pixels(out), upright);
  // Template layers and the tile are never turned.
  ASSERT_TRUE(Decode(tagged, DecodeMode::Rgb, &out).Ok());
  EXPECT_EQ(Pixels(out), stored);
  ASSERT_TRUE(Decode(tagged, DecodeMode::Rgba, &out).Ok());
  EXPECT_EQ(out.width, 7u);

  // A damaged eXIf (bad CRC) is skipped like any damaged ancillary chunk.
  Bytes damaged = tagged;
  const auto chunks = testimages::ListPngChunks(damaged);
  ASSERT_EQ(chunks[1].name, "eXIf");
  damaged[chunks[1].offset + 8 + chunks[1].length] ^= 0x55;
  ASSERT_TRUE(Decode(damaged, DecodeMode::Photo, &out).Ok());
  EXPECT_EQ(Pixels(out), stored);
}

// Turned photos are built strip by strip as they decode: pictures taller
// than a strip, grey, CMYK and transparent ones come out as the plain decode
// turned afterwards.
TEST(PhotoOrientation, EveryKindIsTurnedAcrossSeveralStrips) {
  const uint32_t w = 70, h = 150;
  struct Case {
    const char* what;
    Bytes plain, tagged;
    int orientation;
  };
  std::vector<Case> cases;
  for (int components : {1, 3, 4}) {
    const Bytes pixels = testimages::SyntheticPhoto(w, h, components);
    testimages::JpegOptions options;
    options.cmyk = components == 4;
    const int orientation = 4 + components;  // 5, 7, 8
    Case c{components == 1 ? "grey JPEG" : components == 3 ? "JPEG" : "CMYK JPEG",
           testimages::EncodeJpeg(pixels.data(), w, h, components, options), {}, orientation};
    options.exif = testimages::ExifBlock(orientation, components == 3);
    c.tagged = testimages::EncodeJpeg(pixels.data(), w, h, components, options);
    cases.push_back(c);
  }
  for (bool interlaced : {false, true}) {
    PngPicture rgba = testimages::MakePngPicture(PNG_COLOR_TYPE_RGB_ALPHA, 8, w, h);
    rgba.interlaced = interlaced;
    const Bytes png = testimages::EncodePng(rgba);
    cases.push_back({interlaced ? "interlaced RGBA PNG" : "RGBA PNG", png,
                     testimages::WithPngExif(png, testimages::ExifBlock(6, false)), 6});
  }
  for (const Case& c : cases) {
    Raster stored, upright;
    ASSERT_TRUE(Decode(c.plain, DecodeMode::Photo, &stored).Ok()) << c.what;
    ASSERT_TRUE(Decode(c.tagged, DecodeMode::Photo, &upright).Ok()) << c.what;
    uint32_t uw = 0, uh = 0;
    const Bytes expected = testimages::TurnedUpright(Pixels(stored), w, h, c.orientation, &uw, &uh);
    EXPECT_EQ(upright.width, uw) << c.what;
    EXPECT_EQ(upright.height, uh) << c.what;
    EXPECT_EQ(Pixels(upright), expected) << c.what;
  }
}

// Straight alpha over white, rounded: what a browser shows on a white page.
uint8_t OverWhite(uint8_t colour, uint8_t alpha) {
  return uint8_t(std::lround((colour * alpha + 255.0 * (255 - alpha)) / 255.0));
}

TEST(PhotoTransparency, AlphaAndPaletteTransparencyShowWhiteUnderneath) {
  struct Kind {
    int colourType, bitDepth;
    bool trns;
  };
  for (Kind kind :
       {Kind{PNG_COLOR_TYPE_RGB_ALPHA, 8, false}, Kind{PNG_COLOR_TYPE_RGB_ALPHA, 16, false},
        Kind{PNG_COLOR_TYPE_GRAY_ALPHA, 8, false}, Kind{PNG_COLOR_TYPE_GRAY_ALPHA, 16, false},
        Kind{PNG_COLOR_TYPE_PALETTE, 8, true}, Kind{PNG_COLOR_TYPE_PALETTE, 2, true}}) {
    for (bool interlaced : {false, true}) {
      PngPicture picture =
          testimages::MakePngPicture(kind.colourType, kind.bitDepth, 13, 11, kind.trns);
      picture.interlaced = interlaced;
      const Bytes png = testimages::EncodePng(picture);
      const Bytes rgba = testimages::ExpectedPixels(picture, true);
      Bytes expected;
      for (size_t i = 0; i < rgba.size(); i += 4) {
        for (int c = 0; c < 3; ++c) expected.push_back(OverWhite(rgba[i + c], rgba[i + 3]));
      }
      Raster out;
      ASSERT_TRUE(Decode(png, DecodeMode::Photo, &out).Ok());
      EXPECT_EQ(out.format, PixelFormat::Rgb24);
      EXPECT_EQ(out.width, 13u);
      EXPECT_EQ(Pixels(out), expected)
          << kind.colourType << "/" << kind.bitDepth << " " << interlaced;
#ifdef __GLIBC__
      // The photo holds 3 bytes a pixel, as the edit history counts it,
      // however its rows were decoded.
      EXPECT_LT(malloc_usable_size(out.pixels.get()), size_t(13 * 11 * 4))
          << kind.colourType << "/" << kind.bitDepth << " " << interlaced;
#endif
    }
  }
  // Fully transparent is white, fully opaque keeps its colour.
  const uint8_t rgba[] = {10, 20, 30, 0, 40, 50, 60, 255, 200, 100, 0, 128};
  Raster out;
  ASSERT_TRUE(Decode(testimages::EncodeRgbPng(rgba, 3, 1, true), DecodeMode::Photo, &out).Ok());
  EXPECT_EQ(Pixels(out), (Bytes{255, 255, 255, 40, 50, 60, 227, 177, 127}));
}

TEST(PhotoTransparency, ColourKeysShowWhiteWhereTheyMatch) {
  for (int bitDepth : {8, 16}) {
    PngPicture rgb = testimages::MakePngPicture(PNG_COLOR_TYPE_RGB, bitDepth, 9, 5);
    // Key the colour of pixel (3, 2); only pixels of exactly that colour go.
    const uint16_t* key = &rgb.samples[(2 * 9 + 3) * 3];
    rgb.keyColour.assign(key, key + 3);
    rgb.samples[0] = rgb.keyColour[0];  // and pixel (0, 0) too
    rgb.samples[1] = rgb.keyColour[1];
    rgb.samples[2] = rgb.keyColour[2];
    const Bytes png = testimages::EncodePng(rgb);
    Bytes expected = testimages::ExpectedPixels(rgb, false);
    for (size_t i = 0; i < size_t(9) * 5; ++i) {
      if (std::memcmp(&rgb.samples[i * 3], rgb.keyColour.data(), 6) == 0) {
        expected[i * 3] = expected[i * 3 + 1] = expected[i * 3 + 2] = 255;
      }
    }
    Raster out;
    ASSERT_TRUE(Decode(png, DecodeMode::Photo, &out).Ok());
    EXPECT_EQ(Pixels(out), expected) << bitDepth;
    EXPECT_EQ(out.Row(0)[0], 255);
    // The plain decode ignores the key, as before.
    ASSERT_TRUE(Decode(png, DecodeMode::Rgb, &out).Ok());
    EXPECT_EQ(Pixels(out), testimages::ExpectedPixels(rgb, false));
  }
  PngPicture grey = testimages::MakePngPicture(PNG_COLOR_TYPE_GRAY, 4, 8, 2);
  grey.keyColour = {grey.samples[5]};
  Bytes expected = testimages::ExpectedPixels(grey, false);
  for (size_t i = 0; i < grey.samples.size(); ++i) {
    if (grey.samples[i] == grey.keyColour[0])
      expected[i * 3] = expected[i * 3 + 1] = expected[i * 3 + 2] = 255;
  }
  Raster out;
  ASSERT_TRUE(Decode(testimages::EncodePng(grey), DecodeMode::Photo, &out).Ok());
  EXPECT_EQ(Pixels(out), expected);
}

TEST(PhotoTransparency, OpaquePhotosDecodeByteForByteAsBefore) {
  struct Kind {
    int colourType, bitDepth;
  };
  for (Kind kind : {Kind{PNG_COLOR_TYPE_GRAY, 1}, Kind{PNG_COLOR_TYPE_GRAY, 16},
                    Kind{PNG_COLOR_TYPE_PALETTE, 4}, Kind{PNG_COLOR_TYPE_RGB, 8},
                    Kind{PNG_COLOR_TYPE_RGB, 16}}) {
    for (bool interlaced : {false, true}) {
      PngPicture picture = testimages::MakePngPicture(kind.colourType, kind.bitDepth, 13, 11);
      picture.interlaced = interlaced;
      const Bytes png = testimages::EncodePng(picture);
      Raster photo, plain;
      ASSERT_TRUE(Decode(png, DecodeMode::Photo, &photo).Ok());
      ASSERT_TRUE(Decode(png, DecodeMode::Rgb, &plain).Ok());
      EXPECT_EQ(Pixels(photo), Pixels(plain));
    }
  }
}

// The conversion browsers apply to every four-component JPEG, in exact
// arithmetic: Adobe's applications store the inks inverted.
void ExpectBrowserCmyk(const Bytes& jpeg, const char* what) {
  uint32_t w = 0, h = 0;
  int components = 0;
  const Bytes cmyk = testimages::ReferenceJpegDecode(jpeg, &w, &h, &components);
  ASSERT_EQ(components, 4);
  for (DecodeMode mode : {DecodeMode::Rgb, DecodeMode::Photo}) {
    Raster out;
    ASSERT_TRUE(Decode(jpeg, mode, &out).Ok()) << what;
    ASSERT_EQ(out.width, w);
    ASSERT_EQ(out.height, h);
    int worst = 0;
    for (size_t i = 0; i < size_t(w) * h; ++i) {
      for (int c = 0; c < 3; ++c) {
        const double exact = cmyk[i * 4 + c] * cmyk[i * 4 + 3] / 255.0;
        worst = std::max(worst, int(std::ceil(std::fabs(out.pixels[i * 3 + c] - exact))));
      }
    }
    EXPECT_LE(worst, 1) << what;
  }
}

TEST(PhotoCmyk, CmykAndYcckJpegsDecodeAsBrowsersShowThem) {
  const uint32_t w = 21, h = 13;
  const Bytes inks = testimages::SyntheticPhoto(w, h, 4);
  testimages::JpegOptions cmyk;
  cmyk.cmyk = true;
  ExpectBrowserCmyk(testimages::EncodeJpeg(inks.data(), w, h, 4, cmyk), "CMYK");
  cmyk.progressive = true;
  ExpectBrowserCmyk(testimages::EncodeJpeg(inks.data(), w, h, 4, cmyk), "progressive CMYK");
  testimages::JpegOptions ycck;
  ycck.cmyk = true;
  ycck.ycck = true;
  ExpectBrowserCmyk(testimages::EncodeJpeg(inks.data(), w, h, 4, ycck), "YCCK");

  // Orientation applies to them like any photo.
  ycck.exif = testimages::ExifBlock(8, false);
  const Bytes tagged = testimages::EncodeJpeg(inks.data(), w, h, 4, ycck);
  Raster out;
  ASSERT_TRUE(Decode(tagged, DecodeMode::Photo, &out).Ok());
  EXPECT_EQ(out.width, h);
  EXPECT_EQ(out.height, w);
}

void ExpectFailure(const Bytes& data, DecodeMode mode, ImageFailure failure, ImageDetail detail,
                   const char* what) {
  Raster out = Raster::Allocate(1, 1, PixelFormat::Rgb24);
  const uint8_t* before = out.pixels.get();
  const ImageStatus status = Decode(data, mode, &out);
  EXPECT_EQ(int(status.failure), int(failure)) << what;
  EXPECT_EQ(int(status.detail), int(detail)) << what;
  EXPECT_EQ(out.pixels.get(), before) << what;
  EXPECT_EQ(out.width, 1u) << what;
}

Bytes CorruptIdat(Bytes png) {
  const auto chunks = testimages::ListPngChunks(png);
  const testimages::PngChunk& idat = chunks[1];
  for (uint32_t i = 2; i < idat.length; ++i) png[idat.offset + 8 + i] = uint8_t(i * 97);
  const uLong crc = crc32(0, &png[idat.offset + 4], idat.length + 4);
  testimages::PutBigEndian32(&png[idat.offset + 8 + idat.length], uint32_t(crc));
  return png;
}

// An 8-bit grey PNG whose image data is complete deflate, checksum and
// all, but holds every filtered row except the last one of the last pass.
Bytes GreyPngMissingItsLastRow(uint32_t width, uint32_t height, bool interlaced) {
  static const uint32_t kX0[] = {0, 4, 0, 2, 0, 1, 0}, kDx[] = {8, 8, 4, 4, 2, 2, 1};
  static const uint32_t kY0[] = {0, 0, 4, 0, 2, 0, 1}, kDy[] = {8, 8, 8, 4, 4, 2, 2};
  Bytes raw;
  size_t lastRow = 0;
  for (int pass = interlaced ? 0 : 6; pass < 7; ++pass) {
    const uint32_t x0 = interlaced ? kX0[pass] : 0, dx = interlaced ? kDx[pass] : 1;
    const uint32_t y0 = interlaced ? kY0[pass] : 0, dy = interlaced ? kDy[pass] : 1;
    for (uint32_t y = y0; y < height; y += dy) {
      if (x0 >= width) break;
      lastRow = raw.size();
      raw.push_back(0);  // no filter
      for (uint32_t x = x0; x < width; x += dx) raw.push_back(uint8_t(x * 16 + y));
    }
  }
  raw.resize(lastRow);
  Bytes idat(compressBound(uLong(raw.size())));
  uLongf idatSize = uLongf(idat.size());
  compress2(idat.data(), &idatSize, raw.data(), uLong(raw.size()), 9);
  idat.resize(idatSize);
  PngPicture picture = testimages::MakePngPicture(PNG_COLOR_TYPE_GRAY, 8, width, height);
  picture.interlaced = interlaced;
  Bytes png = testimages::EncodePng(picture);
  auto chunks = testimages::ListPngChunks(png);
  while (chunks.size() > 2) {  // IHDR, IDAT..., IEND: keep only IHDR and IEND
    png.erase(png.begin() + chunks[1].offset, png.begin() + chunks[1].offset + 12 + chunks[1].length);
    chunks = testimages::ListPngChunks(png);
  }
  testimages::InsertPngChunk(&png, 1, "IDAT", uint32_t(idat.size()), idat);
  return png;
}

TEST(DecodeStatus, EachFailureSaysWhy) {
  const Bytes png =
      testimages::EncodePng(testimages::MakePngPicture(PNG_COLOR_TYPE_RGB, 8, 40, 30));
  const Bytes photo = testimages::SyntheticPhoto(16, 16, 3);
  const Bytes jpeg = testimages::EncodeJpeg(photo.data(), 16, 16, 3);
  const Bytes text = {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!'};
  constexpr DecodeMode kPhoto = DecodeMode::Photo;

  ExpectFailure(text, kPhoto, ImageFailure::NotAPicture, ImageDetail::None, "text");
  ExpectFailure({}, kPhoto, ImageFailure::NotAPicture, ImageDetail::None, "empty");
  ExpectFailure(Bytes(png.begin(), png.begin() + 9), kPhoto, ImageFailure::Damaged,
                ImageDetail::EndsEarly, "9 bytes of PNG");
  ExpectFailure(Bytes(png.begin(), png.begin() + png.size() / 2), kPhoto, ImageFailure::Damaged,
                ImageDetail::EndsEarly, "PNG cut in half");
  Bytes badCrc = png;
  const auto chunks = testimages::ListPngChunks(badCrc);
  badCrc[chunks[1].offset + 8 + chunks[1].length] ^= 1;
  ExpectFailure(badCrc, kPhoto, ImageFailure::Damaged, ImageDetail::BadChecksum, "IDAT CRC");
  ExpectFailure(CorruptIdat(png), kPhoto, ImageFailure::Damaged, ImageDetail::CorruptData,
                "garbage image data");
  // A deflate stream that ends cleanly one row short, plain and interlaced.
  for (bool interlaced : {false, true}) {
    const Bytes short8x8 = GreyPngMissingItsLastRow(8, 8, interlaced);
    ExpectFailure(short8x8, kPhoto, ImageFailure::Damaged, ImageDetail::EndsEarly,
                  interlaced ? "one row short, interlaced" : "one row short");
    ExpectFailure(short8x8, DecodeMode::Rgba, ImageFailure::Damaged, ImageDetail::EndsEarly,
                  "one row short, as a layer");
  }
  Bytes badSignature = png;
  badSignature[5] ^= 0x40;
  ExpectFailure(badSignature, kPhoto, ImageFailure::Damaged, ImageDetail::CorruptData,
                "PNG signature");

  ExpectFailure(Bytes(jpeg.begin(), jpeg.begin() + 40), kPhoto, ImageFailure::Damaged,
                ImageDetail::EndsEarly, "JPEG cut in its header");
  ExpectFailure(jpeg, DecodeMode::Rgba, ImageFailure::Unsupported, ImageDetail::JpegWithAlpha,
                "JPEG as a template layer");
  Bytes lossless = jpeg;  // SOF3, a process libjpeg-turbo 2.1 does not decode
  for (size_t i = 2; i + 1 < lossless.size(); ++i) {
    if (lossless[i] == 0xFF && lossless[i + 1] == 0xC0) {
      lossless[i + 1] = 0xC3;
      break;
    }
  }
  ExpectFailure(lossless, kPhoto, ImageFailure::Unsupported, ImageDetail::None, "lossless JPEG");
  testimages::JpegOptions many;
  many.scanCount = 190;
  ExpectFailure(testimages::EncodeJpeg(photo.data(), 16, 16, 3, many), kPhoto,
                ImageFailure::Unsupported, ImageDetail::TooManyScans, "190 scans");

  // Beyond the pixel limit: the declared size comes back for the message.
  const Bytes huge = testimages::ZeroGreyPng(20000, 20000, 1);
  Raster out;
  const ImageStatus status = Decode(huge, kPhoto, &out);
  EXPECT_EQ(status.failure, ImageFailure::TooLarge);
  EXPECT_EQ(status.width, 20000u);
  EXPECT_EQ(status.height, 20000u);
  Bytes wide = png;  // past libpng's own width limit
  testimages::PutBigEndian32(&wide[16], 0x7FFFFFFF);
  testimages::PutBigEndian32(&wide[29], uint32_t(crc32(0, &wide[12], 17)));
  EXPECT_EQ(Decode(wide, kPhoto, &out).failure, ImageFailure::TooLarge);
}

TEST(DecodeStatus, FilesThatCannotBeReadSayWhy) {
  testimages::TempFolder folder;
  Bytes bytes;
  ImageStatus status = imagefiles::ReadWholeFile(folder.File("missing.jpg"), &bytes);
  EXPECT_EQ(status.failure, ImageFailure::Unreadable);
  EXPECT_EQ(status.systemError, ENOENT);
  EXPECT_EQ(imagefiles::ReadWholeFile(folder.path(), &bytes).failure, ImageFailure::NotAFile);
#ifndef _WIN32  // FIFOs and permission bits
  ASSERT_EQ(mkfifo(folder.File("fifo").c_str(), 0600), 0);
  EXPECT_EQ(imagefiles::ReadWholeFile(folder.File("fifo"), &bytes).failure, ImageFailure::NotAFile);
  testimages::WriteBytes(folder.File("locked.jpg"), {0xFF, 0xD8});
  chmod(folder.File("locked.jpg").c_str(), 0);
  if (geteuid() != 0) {  // root reads it anyway
    status = imagefiles::ReadWholeFile(folder.File("locked.jpg"), &bytes);
    EXPECT_EQ(status.failure, ImageFailure::Unreadable);
    EXPECT_EQ(status.systemError, EACCES);
  }
#endif
}

TEST(DecodeStatus, WordsForTheUserNameTheReason) {
  using imagefiles::ImageStatusText;
  EXPECT_EQ(ImageStatusText(ImageStatus()), "");
  EXPECT_EQ(ImageStatusText(ImageStatus::Unreadable(EACCES)), "cannot be read (permission denied)");
  EXPECT_EQ(ImageStatusText(ImageStatus::Failed(ImageFailure::NotAPicture)),
            "is not a JPEG, PNG, HEIC, WebP or TIFF picture");
  EXPECT_EQ(ImageStatusText(ImageStatus::Failed(ImageFailure::Damaged, ImageDetail::EndsEarly)),
            "is damaged or incomplete (the data ends early)");
  EXPECT_EQ(ImageStatusText(ImageStatus::TooLarge(20000, 10000)),
            "is larger than the program's limit of 100 megapixels (20000 x 10000 pixels)");
  EXPECT_EQ(ImageStatusText(ImageStatus::Failed(ImageFailure::OutOfMemory)),
            "needs more memory than is available");
  // Every kind and detail has words of its own.
  std::vector<std::string> seen;
  for (int f = 1; f <= int(ImageFailure::OutOfMemory); ++f) {
    for (int d = 0; d <= int(ImageDetail::JpegWithAlpha); ++d) {
      const std::string text =
          ImageStatusText(ImageStatus::Failed(ImageFailure(f), ImageDetail(d)));
      EXPECT_FALSE(text.empty());
      EXPECT_EQ(std::count(seen.begin(), seen.end(), text), 0) << text;
      seen.push_back(text);
      if (f != int(ImageFailure::Damaged) && f != int(ImageFailure::Unsupported)) break;
    }
  }
  EXPECT_EQ(imagefiles::PhotoFailureMessage("/home/ann/notes.txt",
                                            ImageStatus::Failed(ImageFailure::NotAPicture)),
            "\"/home/ann/notes.txt\" cannot be used as a photo: it is not a JPEG, PNG, HEIC, WebP or TIFF picture.");
}

// A 4 MP photo tagged to be turned a quarter is turned strip by strip as
// it is decoded, so it fits where the untagged photo fits. An interlaced
// one is only whole at the end and needs a second buffer for the turn;
// without memory for it, it is refused as out of memory and the caller's
// picture is untouched. Run in a child process whose address space is
// capped at what it uses now plus one and a half photos.
TEST(PhotoOrientation, TurnsNeedNoSecondPictureOrFailCleanlyWithoutOne) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer reserves more address space than the cap allows";
#elif defined(_WIN32)
  GTEST_SKIP() << "the address space is capped with setrlimit, which Windows does not have";
#else
  const Bytes plain = testimages::ZeroGreyPng(2400, 1600, 8);
  const Bytes tagged = testimages::WithPngExif(plain, testimages::ExifBlock(6, false));
  const Bytes interlaced = testimages::WithPngExif(testimages::ZeroGreyPng(2400, 1600, 8, true),
                                                   testimages::ExifBlock(8, true));
  constexpr size_t kPhotoBytes = size_t(2400) * 1600 * 3;
  auto decodeUnderACap = [&] {
    long pages = 0;
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr || std::fscanf(statm, "%ld", &pages) != 1) std::_Exit(3);
    std::fclose(statm);
    const rlim_t cap = rlim_t(pages) * sysconf(_SC_PAGESIZE) + kPhotoBytes + kPhotoBytes / 2;
    const rlimit limit{cap, cap};
    if (setrlimit(RLIMIT_AS, &limit) != 0) std::_Exit(3);
    for (const Bytes* fits : {&plain, &tagged}) {
      Raster photo;
      if (!Decode(*fits, DecodeMode::Photo, &photo).Ok()) std::_Exit(4);
    }
    Raster out = Raster::Allocate(1, 1, PixelFormat::Rgb24);
    const ImageStatus status = Decode(interlaced, DecodeMode::Photo, &out);
    std::_Exit(status.failure == ImageFailure::OutOfMemory && out.width == 1 ? 0 : 5);
  };
  // A forked child would inherit the address space earlier tests left
  // reserved (other threads' heaps, freed blocks), which the cap would
  // count as room; a child started afresh has only this test's.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(decodeUnderACap(), ::testing::ExitedWithCode(0), "");
  for (const Bytes* photo : {&tagged, &interlaced}) {
    Raster out;
    ASSERT_TRUE(Decode(*photo, DecodeMode::Photo, &out).Ok());
    EXPECT_EQ(out.width, 1600u);
    EXPECT_EQ(out.height, 2400u);
  }
#endif
}

}  // namespace

TEST(DecodeControl, ADecodeReportsProgressAndStopsWhenCancelledLeavingThePictureAlone) {
  const std::vector<uint8_t> pixels = testimages::SyntheticPhoto(64, 300, 3);
  testimages::JpegOptions progressive;
  progressive.progressive = true;
  const struct {
    const char* name;
    std::vector<uint8_t> file;
  } cases[] = {
      {"jpeg", testimages::EncodeJpeg(pixels.data(), 64, 300, 3)},
      {"progressive", testimages::EncodeJpeg(pixels.data(), 64, 300, 3, progressive)},
      {"png", testimages::ZeroGreyPng(64, 300, 8)},
  };
  for (const auto& c : cases) {
    engine::DecodeControl watched;
    engine::Raster whole;
    ASSERT_TRUE(imagefiles::DecodeImage(c.file.data(), uint32_t(c.file.size()),
                                        imagefiles::DecodeMode::Photo, &whole, &watched)
                    .Ok())
        << c.name;
    EXPECT_GT(watched.Part(), 0u) << c.name;  // heard of as it went

    engine::DecodeControl cancelled;
    cancelled.Cancel();
    engine::Raster kept = engine::Raster::Allocate(2, 2, engine::PixelFormat::Rgb24);
    const uint8_t* before = kept.pixels.get();
    EXPECT_EQ(imagefiles::DecodeImage(c.file.data(), uint32_t(c.file.size()),
                                      imagefiles::DecodeMode::Photo, &kept, &cancelled)
                  .failure,
              engine::ImageFailure::Cancelled)
        << c.name;
    EXPECT_EQ(kept.pixels.get(), before) << c.name;
    EXPECT_EQ(kept.width, 2u) << c.name;
  }
}
