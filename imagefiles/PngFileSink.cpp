#include "imagefiles/PngFileSink.h"

#include "imagefiles/SafeOutputFile.h"

namespace imagefiles {

namespace {

void WriteToFile(png_structp png, png_bytep data, size_t count) {
  auto* sink = static_cast<PngFileSink*>(png_get_io_ptr(png));
  if (!sink->file->Write(data, count)) png_error(png, "write failed");
}

// The output file is synced once, when it is committed.
void FlushNothing(png_structp) {}

}  // namespace

void PngFileSink::Attach(png_structp png, SafeOutputFile* output) {
  file = output;
  png_set_write_fn(png, this, WriteToFile, FlushNothing);
}

}  // namespace imagefiles
