#pragma once

#include <string>

#include "engine/raster/ImageStatus.h"

namespace imagefiles {

// Words for the user about a picture file that could not be used, made in
// this one place so that the window and the command-line tools give the
// same reason. English, like every other message of the program.

// The reason as a phrase that follows the file's name: "is not a JPEG,
// PNG, HEIC, WebP or TIFF picture", "is damaged or incomplete (the data
// ends early)", "cannot be read (permission denied)", "is larger than the
// program's limit of 100 megapixels (12000 x 10000 pixels)". Empty for
// success.
std::string ImageStatusText(const engine::ImageStatus& status);

// The window's message for a photo that did not load: the file as the
// caller names it and the reason, in one sentence:
//   "/home/ann/notes.txt" cannot be used as a photo: it is not a JPEG, PNG,
//   HEIC, WebP or TIFF picture.
std::string PhotoFailureMessage(const std::string& fileName, const engine::ImageStatus& status);

}  // namespace imagefiles
