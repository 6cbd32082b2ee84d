#include "imagefiles/SaveAdvice.h"

#include <grp.h>
#include <pwd.h>

#include <vector>

namespace imagefiles {

namespace {

std::string UserName(uid_t uid) {
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
      found->pw_name != nullptr && found->pw_name[0] != '\0') {
    return std::string("\"") + found->pw_name + "\"";
  }
  return "user number " + std::to_string(uid);
}

std::string GroupName(gid_t gid) {
  std::vector<char> buffer(16384);
  group entry{};
  group* found = nullptr;
  if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
      found->gr_name != nullptr && found->gr_name[0] != '\0') {
    return std::string("\"") + found->gr_name + "\"";
  }
  return "group number " + std::to_string(gid);
}

}  // namespace

std::string FolderAdvice(const std::string& folder, bool replacing) {
  if (replacing) {
    return "a save writes the new card as a new file in the folder \"" + folder +
           "\" and then puts it in place of the old one, so that a failed save never damages "
           "it, and that folder does not let you create files; save the card in a folder of "
           "your own";
  }
  return "the folder \"" + folder +
         "\" does not let you create files; save the card in a folder of your own";
}

std::string OwnerAdvice(uid_t owner, gid_t group, bool ownerDiffers) {
  if (ownerDiffers) {
    return "the file belongs to " + UserName(owner) +
           ", and the new file that a save puts in its place would belong to you; save the card "
           "under another name, or ask " + UserName(owner) + " to replace it";
  }
  return "the file's group is " + GroupName(group) +
         ", which you are not a member of, and the new file that a save puts in its place would "
         "lose that group; save the card under another name";
}

}  // namespace imagefiles
