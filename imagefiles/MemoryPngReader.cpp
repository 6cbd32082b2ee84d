#include "imagefiles/MemoryPngReader.h"

#include <cstring>

namespace imagefiles {

namespace {

void ReadFromMemory(png_structp png, png_bytep out, size_t count) {
  auto* reader = static_cast<MemoryPngReader*>(png_get_io_ptr(png));
  if (count > reader->size - reader->position) png_error(png, "read past the end of the data");
  std::memcpy(out, reader->data + reader->position, count);
  reader->position += static_cast<uint32_t>(count);
}

}  // namespace

void MemoryPngReader::Attach(png_structp png, const uint8_t* bytes, uint32_t count) {
  data = bytes;
  size = count;
  position = 0;
  png_set_read_fn(png, this, ReadFromMemory);
}

}  // namespace imagefiles
