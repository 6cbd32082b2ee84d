#pragma once

#include <map>
#include <string>

#include "text/FontFiles.h"

namespace text {

// The system's font families by name: through fontconfig on Linux, from the
// Windows fonts folder on Windows. Looked up once and kept for the life of
// the process; safe from any thread.
const std::map<std::string, FamilyFaces>& SystemFamilies();

}  // namespace text
