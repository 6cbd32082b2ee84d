#include "imagefiles/MemoryJpegSource.h"

namespace imagefiles {

namespace {

MemoryJpegSource* Source(j_decompress_ptr cinfo) {
  return reinterpret_cast<MemoryJpegSource*>(cinfo->src);
}

void ServeEndOfImage(MemoryJpegSource* source) {
  source->mgr.next_input_byte = source->endOfImage;
  source->mgr.bytes_in_buffer = 2;
}

void InitSource(j_decompress_ptr cinfo) {
  MemoryJpegSource* source = Source(cinfo);
  source->mgr.next_input_byte = source->data;
  source->mgr.bytes_in_buffer = source->size;
}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
  ServeEndOfImage(Source(cinfo));
  return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
  MemoryJpegSource* source = Source(cinfo);
  const unsigned long n = static_cast<unsigned long>(count);
  if (n < source->mgr.bytes_in_buffer) {
    source->mgr.next_input_byte += n;
    source->mgr.bytes_in_buffer -= n;
  } else {
    ServeEndOfImage(source);
  }
}

void TermSource(j_decompress_ptr) {}

}  // namespace

void MemoryJpegSource::Attach(j_decompress_ptr cinfo, const uint8_t* bytes, uint32_t count) {
  data = bytes;
  size = count;
  endOfImage[0] = 0xFF;
  endOfImage[1] = JPEG_EOI;
  mgr.next_input_byte = nullptr;
  mgr.bytes_in_buffer = 0;
  mgr.init_source = InitSource;
  mgr.fill_input_buffer = FillInputBuffer;
  mgr.skip_input_data = SkipInputData;
  mgr.resync_to_restart = jpeg_resync_to_restart;
  mgr.term_source = TermSource;
  cinfo->src = &mgr;
}

}  // namespace imagefiles
