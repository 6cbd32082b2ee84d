#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/compose/StreamedCard.h"
#include "engine/raster/ImageStatus.h"
#include "engine/raster/Raster.h"

namespace imagefiles {

struct JpegLibState;

// A photo file read the way a slot shows it, for a renderer that never
// holds the photo whole: a JPEG that needs no turn is decoded row by row,
// only the rows and columns of the crop (libjpeg-turbo skips the rows above
// it and decodes only the columns around it), into the resampler directly.
// Every other photo (PNG, a JPEG to be turned) is decoded whole when the
// rows begin, as DecodeImage decodes it, and freed at Finish.
//
// The rows are byte for byte those of the whole decode (DecodeImage in
// Photo mode), and a file is refused for the same reasons.
class StreamedPhoto : public engine::SlotPhotoStream {
 public:
  StreamedPhoto();
  ~StreamedPhoto() override;
  StreamedPhoto(const StreamedPhoto&) = delete;
  StreamedPhoto& operator=(const StreamedPhoto&) = delete;

  // Takes the file's bytes and reads the header: the upright size, or why
  // the file cannot be used.
  engine::ImageStatus Open(std::vector<uint8_t> bytes);
  uint32_t Width() const { return width_; }
  uint32_t Height() const { return height_; }
  // True when the rows are decoded as they are read.
  bool Streams() const { return lib_ != nullptr; }

  void Begin(const engine::Crop& crop) override;
  // A row of zeros once the decoding has failed; Finish then says why.
  const uint8_t* NextRow() override;

  // Decodes through the rest of the data as the whole decode would (only
  // the entropy-coded data, no pixels), so damage anywhere fails as it does
  // there; frees everything. The outcome of the whole file. Without Begin
  // the whole picture is checked so.
  engine::ImageStatus Finish();

 private:
  bool ReadHeader();
  // The library calls; their arguments are members, which a library error's
  // jump leaves as they are.
  bool StartRows();  // for columns [firstColumn_, firstColumn_ + columns_)
  bool SkipRows();   // skip_ rows
  bool ReadRow();
  void Fail(engine::ImageStatus status);
  void Close();

  std::vector<uint8_t> bytes_;
  engine::ImageStatus status_;
  uint32_t width_ = 0, height_ = 0;
  int components_ = 0;
  bool begun_ = false;
  // Streaming: the decoder, one row of its output, where the crop starts in it.
  std::unique_ptr<JpegLibState> lib_;
  std::unique_ptr<uint8_t[]> row_;
  uint32_t firstColumn_ = 0, columns_ = 0, skip_ = 0;
  size_t cropOffset_ = 0;
  // Not streaming: the whole photo, and the next crop row in it.
  engine::Raster whole_;
  const uint8_t* nextRow_ = nullptr;
  size_t rowBytes_ = 0;
  std::vector<uint8_t> zeros_;
};

}  // namespace imagefiles
