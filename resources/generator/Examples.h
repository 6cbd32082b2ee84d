#pragma once

#include <string>

namespace artwork {

// The source pictures of the example layouts under examples/: for each,
// NAME/regions.png and NAME/overlay.png, drawn here and packed by
// scripts/make-examples.sh with tessary-layout.
void WriteExampleLayouts(const std::string& folder);

// Stand-in photos (PNG) for the examples' rendered cards: photo-1.png to
// photo-7.png, small landscapes drawn with gradients and shapes.
void WriteExamplePhotos(const std::string& folder);

}  // namespace artwork
