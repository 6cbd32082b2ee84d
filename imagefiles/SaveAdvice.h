#pragma once

#include <sys/types.h>

#include <string>

namespace imagefiles {

// What to do when a save fails for want of a permission, in words for the
// user; see SaveResult::advice. POSIX only.

// The folder does not let the user create the new file a save needs.
// `replacing`: a file of that name exists, which the user may well be able
// to write, so the message says why a new file is needed at all.
std::string FolderAdvice(const std::string& folder, bool replacing);

// The new file cannot be given the owner or group of the file it would
// replace (someone else's, or of a group the user is not in).
std::string OwnerAdvice(uid_t owner, gid_t group, bool ownerDiffers);

}  // namespace imagefiles
