#include "resources/BuiltInImages.h"

namespace resources {

// Placeholder until the artwork is embedded.
Blob FindPngResource(int) { return {}; }
Blob FindIconResource(int, int) { return {}; }

}  // namespace resources
