#pragma once

#include <cstdio>
#include <string>

#include <jpeglib.h>

namespace imagefiles {

class SafeOutputFile;

// libjpeg destination that writes through a 4096-byte buffer into an output
// file, or onto the end of a string in memory. A write that does not take
// every byte (or a string that cannot grow) ends the compression the way a
// library error does (through the JpegErrorThrower).
struct JpegFileDestination {
  static constexpr size_t kBufferSize = 4096;

  jpeg_destination_mgr mgr;  // first member: the library's dest pointer converts back
  SafeOutputFile* file;
  std::string* memory;  // when set, instead of the file
  bool memoryFull;      // the string could not grow
  JOCTET buffer[kBufferSize];

  void Attach(j_compress_ptr cinfo, SafeOutputFile* output);
  void Attach(j_compress_ptr cinfo, std::string* bytes);
};

}  // namespace imagefiles
