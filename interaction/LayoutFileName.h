#pragma once

#include <string>

namespace interaction {

// Dropped names are considered only when longer than 4 and shorter than 260
// characters (UTF-16 code units, the unit the limit was made for).
bool IsConsideredFileName(const std::string& path);

// Ends in ".jli", each letter in either case.
bool IsLayoutFileName(const std::string& path);

}  // namespace interaction
