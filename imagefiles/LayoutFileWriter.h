#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace imagefiles {

// Packs a region map and an overlay, each a complete PNG file, into a layout
// file: the magic, then a layer named "layout" holding the region map and a
// layer named "overlay" holding the overlay, each a NAME and a DOCU chunk,
// lengths little-endian, fill bytes 0. The PNGs are stored as given and not
// looked at. False when a PNG is too large for the format's 32-bit lengths.
bool PackLayoutFile(const uint8_t* regionMapPng, size_t regionMapSize, const uint8_t* overlayPng,
                    size_t overlaySize, std::vector<uint8_t>* file);

}  // namespace imagefiles
