#include "imagefiles/JpegFileDestination.h"

#include "imagefiles/JpegErrorThrower.h"
#include "imagefiles/SafeOutputFile.h"

namespace imagefiles {

namespace {

JpegFileDestination* Destination(j_compress_ptr cinfo) {
  return reinterpret_cast<JpegFileDestination*>(cinfo->dest);
}

// Never lets an exception into the library's C frames.
bool Put(JpegFileDestination* dest, size_t count) {
  if (dest->memory == nullptr) return dest->file->Write(dest->buffer, count);
  try {
    dest->memory->append(reinterpret_cast<const char*>(dest->buffer), count);
    return true;
  } catch (...) {
    dest->memoryFull = true;
    return false;
  }
}

void InitDestination(j_compress_ptr cinfo) {
  JpegFileDestination* dest = Destination(cinfo);
  dest->mgr.next_output_byte = dest->buffer;
  dest->mgr.free_in_buffer = JpegFileDestination::kBufferSize;
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
  JpegFileDestination* dest = Destination(cinfo);
  if (!Put(dest, JpegFileDestination::kBufferSize)) {
    JpegErrorThrower::Fail(j_common_ptr(cinfo));
  }
  dest->mgr.next_output_byte = dest->buffer;
  dest->mgr.free_in_buffer = JpegFileDestination::kBufferSize;
  return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
  JpegFileDestination* dest = Destination(cinfo);
  const size_t filled = JpegFileDestination::kBufferSize - dest->mgr.free_in_buffer;
  if (filled > 0 && !Put(dest, filled)) {
    JpegErrorThrower::Fail(j_common_ptr(cinfo));
  }
}

}  // namespace

void JpegFileDestination::Attach(j_compress_ptr cinfo, std::string* bytes) {
  Attach(cinfo, static_cast<SafeOutputFile*>(nullptr));
  memory = bytes;
}

void JpegFileDestination::Attach(j_compress_ptr cinfo, SafeOutputFile* output) {
  file = output;
  memory = nullptr;
  memoryFull = false;
  mgr.next_output_byte = buffer;
  mgr.free_in_buffer = kBufferSize;
  mgr.init_destination = InitDestination;
  mgr.empty_output_buffer = EmptyOutputBuffer;
  mgr.term_destination = TermDestination;
  cinfo->dest = &mgr;
}

}  // namespace imagefiles
