#pragma once

#include <string>

namespace interaction {

// Dropped names shorter than 5 characters cannot name anything the program
// opens (".jli" alone is not a file name), so they are passed over.
bool IsConsideredFileName(const std::string& path);

// Ends in ".jli", each letter in either case.
bool IsLayoutFileName(const std::string& path);

// Ends in ".tessary", each letter in either case: a project.
bool IsProjectFileName(const std::string& path);

}  // namespace interaction
