#pragma once

// Test pictures made on the spot with libpng and libjpeg, so no test depends
// on a file from elsewhere.

#include <cstdint>
#include <string>
#include <vector>

namespace testimages {

// A PNG described sample by sample: `samples` holds width x height x
// channels values of `bitDepth` bits (palette pictures: indices).
struct PngPicture {
  uint32_t width = 0;
  uint32_t height = 0;
  int colourType = 0;  // PNG_COLOR_TYPE_*
  int bitDepth = 8;
  bool interlaced = false;
  std::vector<uint16_t> samples;
  std::vector<uint8_t> paletteRgb;    // 3 bytes per entry
  std::vector<uint8_t> paletteAlpha;  // tRNS entries, empty for none
  std::vector<uint16_t> keyColour;    // tRNS colour key: 1 grey or 3 RGB samples, empty for none
};

int Channels(int colourType);

// A picture of the given kind whose samples sweep the whole value range.
PngPicture MakePngPicture(int colourType, int bitDepth, uint32_t width, uint32_t height,
                          bool withTrns = false);
std::vector<uint8_t> EncodePng(const PngPicture& picture);
// What a decoder must deliver: 8-bit R, G, B(, A) rows. Grey is repeated,
// 16-bit samples keep their high byte, palette tRNS becomes alpha only when
// withAlpha is set, a missing alpha is 255.
std::vector<uint8_t> ExpectedPixels(const PngPicture& picture, bool withAlpha);

// Plain 8-bit RGB(A) rows as a PNG.
std::vector<uint8_t> EncodeRgbPng(const uint8_t* pixels, uint32_t width, uint32_t height,
                                  bool alpha);

// One PNG chunk as found in a file.
struct PngChunk {
  std::string name;
  uint32_t offset = 0;  // of its length field
  uint32_t length = 0;
};
std::vector<PngChunk> ListPngChunks(const std::vector<uint8_t>& png);
// Inserts a chunk before chunk number `before`, declaring `declaredLength`
// (which may lie) and carrying `data`, with a correct CRC over what is there.
void InsertPngChunk(std::vector<uint8_t>* png, size_t before, const std::string& name,
                    uint32_t declaredLength, const std::vector<uint8_t>& data);
void PutBigEndian32(uint8_t* p, uint32_t value);
uint32_t GetBigEndian32(const uint8_t* p);

// A PNG of width x height 8-bit grey zeros built with zlib directly, for
// pictures too large to build through libpng quickly.
std::vector<uint8_t> ZeroGreyPng(uint32_t width, uint32_t height, int bitDepth,
                                 bool interlaced = false);

// Photo-like test content: smooth gradients with some texture.
std::vector<uint8_t> SyntheticPhoto(uint32_t width, uint32_t height, int components);

struct JpegOptions {
  int quality = 90;
  bool progressive = false;
  int scanCount = 0;  // > 0: one scan per coefficient and component, cut to this count
  bool cmyk = false;
  bool ycck = false;          // with cmyk: stored as YCCK, as Adobe's applications do
  std::vector<uint8_t> exif;  // an APP1 Exif segment's TIFF block, empty for none
  int lumaWidth = 2, lumaHeight = 2;  // the luma's sampling factors (YCbCr): 2, 2 is 4:2:0
  int restartRows = 0;                // > 0: a restart marker every that many MCU rows
};
// components 1 (grey), 3 (RGB) or 4 (CMYK with options.cmyk).
std::vector<uint8_t> EncodeJpeg(const uint8_t* pixels, uint32_t width, uint32_t height,
                                int components, const JpegOptions& options = {});
// libjpeg's own decode with default settings: 1 or 3 bytes per pixel.
std::vector<uint8_t> ReferenceJpegDecode(const std::vector<uint8_t>& jpeg, uint32_t* width,
                                         uint32_t* height, int* components);

// A TIFF block as cameras put in Exif: IFD0 with a Make, the Orientation
// (left out when `orientation` is 0) and a Software entry.
std::vector<uint8_t> ExifBlock(int orientation, bool bigEndian);
// The same block as a PNG eXIf chunk before the first IDAT.
std::vector<uint8_t> WithPngExif(std::vector<uint8_t> png, const std::vector<uint8_t>& tiff);

// Packed Rgb24 pixels of width x height stored with Exif `orientation`,
// turned upright: each stored pixel is carried to where it is seen.
std::vector<uint8_t> TurnedUpright(const std::vector<uint8_t>& rgb, uint32_t width,
                                   uint32_t height, int orientation, uint32_t* uprightWidth,
                                   uint32_t* uprightHeight);

// An 8-bit RGB PNG of photo-like pixels whose one zlib stream goes on with
// `zeroBytes` of zeros after the last row (a multiple of 1 MiB, or below
// it). Built from one repeated piece of deflate data, so a GiB takes
// milliseconds; the stream's checksum is right.
std::vector<uint8_t> PngWithTrailingZeros(uint32_t width, uint32_t height, uint64_t zeroBytes);

// A fresh empty folder under the system's temporary folder, removed with
// everything in it by the destructor.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  std::vector<std::string> Names() const;

 private:
  std::string path_;
};

std::vector<uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace testimages
