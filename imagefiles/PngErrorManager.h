#pragma once

#include <png.h>

namespace imagefiles {

// The program's libpng error handling, for decoding and for writing cards
// alike. A library error must never return into the library, and a C++
// exception must never cross its C frames, so an error jumps back to
// png_jmpbuf: the one small function that drives the library sets it with
// setjmp and keeps only trivially destructible locals. Warnings are dropped.
//
// Both return null when libpng cannot allocate its state.
png_structp CreatePngReadStruct();
png_structp CreatePngWriteStruct();

}  // namespace imagefiles
