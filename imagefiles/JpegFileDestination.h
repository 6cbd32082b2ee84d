#pragma once

#include <cstdio>

#include <jpeglib.h>

namespace imagefiles {

class SafeOutputFile;

// libjpeg destination that writes through a 4096-byte buffer into an output
// file. A write that does not take every byte ends the compression the way
// a library error does (through the JpegErrorThrower).
struct JpegFileDestination {
  static constexpr size_t kBufferSize = 4096;

  jpeg_destination_mgr mgr;  // first member: the library's dest pointer converts back
  SafeOutputFile* file;
  JOCTET buffer[kBufferSize];

  void Attach(j_compress_ptr cinfo, SafeOutputFile* output);
};

}  // namespace imagefiles
