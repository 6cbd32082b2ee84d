// What a save keeps of the file it replaces, what it refuses to replace,
// and what it tells the user when a permission stops it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include <filesystem>
#else
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#endif

#include "TestImages.h"
#include "imagefiles/CardWriter.h"
#include "imagefiles/SaveResult.h"

namespace {

using imagefiles::CardFormat;
using imagefiles::SaveError;
using imagefiles::SaveResult;
using imagefiles::SaveStep;

SaveResult Save(const imagefiles::OutputTarget& target) {
  static const std::vector<uint8_t> pixels = testimages::SyntheticPhoto(40, 30, 3);
  return imagefiles::WriteCard(target, CardFormat::Png, pixels.data(), 40, 30, 120);
}

// One rule on both systems: a card marked read-only is left whole.
TEST(SavePermissions, AReadOnlyCardIsLeftWholeAndTheSaveSaysSo) {
  testimages::TempFolder folder;
  const std::string card = folder.File("card.png");
  const std::vector<uint8_t> old(100, 1);
  testimages::WriteBytes(card, old);
#ifdef _WIN32
  const std::wstring wide = std::filesystem::u8path(card).wstring();
  ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY));
#else
  ASSERT_EQ(chmod(card.c_str(), 0444), 0);  // the user's own file, even for root
#endif
  const SaveResult result = Save(card);
  EXPECT_EQ(result.step, SaveStep::Target);
  EXPECT_EQ(result.cause, SaveError::ReadOnly);
  EXPECT_EQ(result.Message().rfind("the card cannot be saved there: it is read-only", 0), 0u)
      << result.Message();
  EXPECT_EQ(testimages::ReadBytes(card), old);
  EXPECT_EQ(folder.Names().size(), 1u);
#ifdef _WIN32
  SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
#else
  // Writable again, it is replaced as usual.
  ASSERT_EQ(chmod(card.c_str(), 0644), 0);
  EXPECT_TRUE(Save(card)) << Save(card).Message();
  EXPECT_NE(testimages::ReadBytes(card), old);
#endif
}

#ifndef _WIN32

std::vector<char> Attribute(const std::string& path, const char* name) {
  std::vector<char> value(4096);
  const ssize_t size = getxattr(path.c_str(), name, value.data(), value.size());
  value.resize(size < 0 ? 0 : size_t(size));
  return value;
}

// An access ACL as the kernel stores it: the owner rw, user 12345 r, the
// owning group r, mask r, others nothing.
std::vector<char> AclDenyingOthers() {
  std::vector<char> acl;
  auto put = [&](uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) acl.push_back(char(value >> (8 * i)));
  };
  put(2, 4);  // version
  const struct {
    uint16_t tag, perm;
    uint32_t id;
  } entries[] = {{0x01, 6, 0xFFFFFFFF}, {0x02, 4, 12345}, {0x04, 4, 0xFFFFFFFF},
                 {0x10, 4, 0xFFFFFFFF}, {0x20, 0, 0xFFFFFFFF}};
  for (const auto& e : entries) {
    put(e.tag, 2);
    put(e.perm, 2);
    put(e.id, 4);
  }
  return acl;
}

TEST(SavePermissions, TheReplacedFilesAclAndUserAttributesAreKept) {
  testimages::TempFolder folder;
  const std::string card = folder.File("card.png");
  testimages::WriteBytes(card, std::vector<uint8_t>(100, 1));
  const std::string note = "shared with the family";
  if (setxattr(card.c_str(), "user.note", note.data(), note.size(), 0) != 0) {
    GTEST_SKIP() << "this file system keeps no user attributes: " << std::strerror(errno);
  }
  const std::vector<char> acl = AclDenyingOthers();
  if (setxattr(card.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) != 0) {
    GTEST_SKIP() << "this file system keeps no ACLs: " << std::strerror(errno);
  }
  struct stat before {};
  ASSERT_EQ(stat(card.c_str(), &before), 0);
  const SaveResult result = Save(card);
  ASSERT_TRUE(result) << result.Message();
  EXPECT_EQ(testimages::ReadBytes(card)[1], 'P');  // the new card
  EXPECT_EQ(Attribute(card, "user.note"), std::vector<char>(note.begin(), note.end()));
  EXPECT_EQ(Attribute(card, "system.posix_acl_access"), acl);
  struct stat after {};
  ASSERT_EQ(stat(card.c_str(), &after), 0);
  EXPECT_EQ(after.st_mode, before.st_mode);
}

// A FIFO nobody reads: the window may not wait for a reader, the command
// line does (AFifoReceivesTheCardDirectlyAndStaysAFifo).
TEST(SavePermissions, AFifoWithoutAReaderFailsAtOnceWhenTheSaveMayNotWait) {
  testimages::TempFolder folder;
  const std::string fifo = folder.File("card.fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::time_t start = std::time(nullptr);
  const SaveResult result = Save(imagefiles::OutputTarget::WithoutWaiting(fifo));
  EXPECT_LE(std::time(nullptr) - start, 1);
  EXPECT_EQ(result.step, SaveStep::Create);
  EXPECT_EQ(result.cause, SaveError::NoReader);
  EXPECT_NE(result.Message().find("no program is reading it"), std::string::npos);
}

// Runs `save` as an unprivileged user (nobody, when the tests run as root,
// whose permissions nothing stops) and returns its message.
std::string MessageAsUnprivileged(const std::string& target) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return "no pipe";
  const pid_t child = fork();
  if (child == 0) {
    close(pipeEnds[0]);
    if (geteuid() == 0) {
      if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
    }
    const std::string message = Save(target).Message();
    if (write(pipeEnds[1], message.data(), message.size()) < 0) _exit(3);
    _exit(0);
  }
  close(pipeEnds[1]);
  std::string message;
  char buffer[512];
  ssize_t got = 0;
  while ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0) message.append(buffer, size_t(got));
  close(pipeEnds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return message;
}

TEST(SavePermissions, AFailedPermissionSaysWhatToDo) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root, to make files of another user";
  testimages::TempFolder folder;
  ASSERT_EQ(chmod(folder.path().c_str(), 0755), 0);  // nobody may not create files here
  // A card anyone may write, in a folder that nobody may not write to.
  const std::string card = folder.File("card.png");
  testimages::WriteBytes(card, std::vector<uint8_t>(100, 1));
  ASSERT_EQ(chmod(card.c_str(), 0666), 0);
  std::string message = MessageAsUnprivileged(card);
  EXPECT_EQ(message.rfind("the file cannot be created: Permission denied; a save writes the new "
                          "card as a new file in the folder \"" + folder.path() + "\"",
                          0),
            0u)
      << message;
  EXPECT_NE(message.find("save the card in a folder of your own"), std::string::npos);
  EXPECT_EQ(testimages::ReadBytes(card), std::vector<uint8_t>(100, 1));

  // A colleague's group-writable card in a shared folder: root's here.
  ASSERT_EQ(chmod(folder.path().c_str(), 0777), 0);
  message = MessageAsUnprivileged(card);
  EXPECT_EQ(message.rfind("the replaced file's permissions or owner cannot be kept: Operation not "
                          "permitted; the file belongs to \"root\"",
                          0),
            0u)
      << message;
  EXPECT_NE(message.find("save the card under another name"), std::string::npos);
  EXPECT_EQ(testimages::ReadBytes(card), std::vector<uint8_t>(100, 1));
  EXPECT_EQ(folder.Names().size(), 1u);
}

#endif  // !_WIN32

}  // namespace
