#pragma once

#include <png.h>

namespace imagefiles {

// What a reader may want to hear of libpng's messages: the reason for a
// failure, told to the user, lives only in the message text. Each function
// is called before the error leaves the library (the text may live in
// libpng's own stack frame) and must neither throw nor jump.
struct PngMessages {
  void (*error)(void* context, png_const_charp message) = nullptr;
  void (*warning)(void* context, png_const_charp message) = nullptr;
  void* context = nullptr;
};

// The program's libpng error handling, for decoding and for writing cards
// alike. A library error must never return into the library, and a C++
// exception must never cross its C frames, so an error jumps back to
// png_jmpbuf: the one small function that drives the library sets it with
// setjmp and keeps only trivially destructible locals. Warnings are dropped
// unless `messages` (which must outlive the struct) asks for them.
//
// Both return null when libpng cannot allocate its state.
png_structp CreatePngReadStruct(const PngMessages* messages = nullptr);
png_structp CreatePngWriteStruct();

}  // namespace imagefiles
