#pragma once

#include <string>

namespace imagefiles {

// Gives the new file `fd` the extended attributes of the file at `existing`
// that say who may do what with it and what its user attached to it: the
// POSIX access ACL (system.posix_acl_access) and every user.* attribute.
// Attributes of those kinds that the new file got from its folder (a
// default ACL) and the old one lacked are removed. 0, or the errno of the
// call that failed; a file system without extended attributes has nothing
// to keep. POSIX only.
int KeepExtendedAttributes(const std::string& existing, int fd);

}  // namespace imagefiles
