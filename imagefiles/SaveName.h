#pragma once

#include <string>

#include "imagefiles/CardWriter.h"

namespace imagefiles {

// Where a card goes and in which format, from the name typed in the save
// dialog and the file type chosen there.
struct SaveTarget {
  std::string path;
  CardFormat format;
};

// "jpg" or "png": what the file type's filter appends.
const char* CardFormatExtension(CardFormat format);

// True, with `format` set, when the last component of `path` ends in an
// extension that names a card format: .jpg, .jpeg, .jpe or .png, in any case.
bool FormatFromExtension(const std::string& path, CardFormat* format);

// A typed extension that names a format decides the format and the name is
// kept as typed, whatever file type is chosen; otherwise the chosen type
// decides and its extension is appended (after any trailing dots, which
// name no extension).
SaveTarget ChooseSaveTarget(const std::string& typedPath, CardFormat chosen);

}  // namespace imagefiles
