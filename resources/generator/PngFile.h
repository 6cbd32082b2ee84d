#pragma once

#include <string>

#include "resources/generator/Picture.h"

namespace artwork {

// Writes an 8-bit RGBA PNG (colour type 6), or with dropAlpha an 8-bit RGB
// PNG (colour type 2), at the strongest compression. Throws on failure.
void WritePng(const std::string& path, const Picture& picture, bool dropAlpha = false);

}  // namespace artwork
