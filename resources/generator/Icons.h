#pragma once

#include "resources/generator/Picture.h"

namespace artwork {

// The window icon, an orange picture frame, at 256, 128, 64, 48, 32, 24 or 16
// pixels.
Picture MakeWindowIcon(int size);

// The 48 x 48 toolbar icons: 203 save (orange floppy disk), 204 donate (bowl
// with a coin and a banknote), 205 help (glowing light bulb), 206 template
// (orange star outline).
Picture MakeToolbarIcon(int id);

}  // namespace artwork
