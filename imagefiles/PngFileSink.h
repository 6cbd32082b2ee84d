#pragma once

#include <png.h>

namespace imagefiles {

class SafeOutputFile;

// The output file behind libpng's write callback. Unlike a bare file handle
// it checks every write: a short one raises a libpng error, which ends the
// save.
struct PngFileSink {
  SafeOutputFile* file;

  void Attach(png_structp png, SafeOutputFile* output);
};

}  // namespace imagefiles
