#pragma once

#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first

#include <jpeglib.h>

namespace imagefiles {

// The program's libjpeg error manager, for decoding and for writing cards.
// A library error must never return into the library, and a C++ exception
// must never cross its C frames, so error_exit jumps back to `jump`: the one
// small function that drives the library sets it with setjmp and keeps only
// trivially destructible locals. Messages and warnings are dropped; no text
// is ever formatted.
struct JpegErrorThrower {
  jpeg_error_mgr mgr;  // first member: the library's err pointer converts back
  std::jmp_buf jump;

  // Fills every hook by hand (libjpeg calls them all; a null one would crash)
  // and returns the manager to store in the codec's `err`.
  jpeg_error_mgr* Init();

  // Ends the running library call from inside one of our own callbacks, the
  // way a library error does.
  [[noreturn]] static void Fail(j_common_ptr cinfo);
};

}  // namespace imagefiles
