// Saves over things that are not plain files, saves that fail or die
// halfway, and what a failed save reports.

// FIFOs, devices, sockets, owners and left-over temporaries of dead
// processes: POSIX only. tests/imagefiles/FileNamesTest.cpp covers Windows.
#ifndef _WIN32

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "TestImages.h"
#include "imagefiles/CardWriter.h"
#include "imagefiles/SafeOutputFile.h"
#include "imagefiles/TemporaryNames.h"

namespace {

using imagefiles::CardFormat;
using imagefiles::SaveError;
using imagefiles::SaveResult;
using imagefiles::SaveStep;
using imagefiles::TemporaryFileMode;

struct Card {
  uint32_t width, height;
  std::vector<uint8_t> pixels;
  Card(uint32_t w, uint32_t h) : width(w), height(h), pixels(testimages::SyntheticPhoto(w, h, 3)) {}
  SaveResult Write(const imagefiles::OutputTarget& target, CardFormat format) const {
    return imagefiles::WriteCard(target, format, pixels.data(), width, height, width * 3);
  }
  // What a save to a plain new file holds.
  std::vector<uint8_t> Bytes(CardFormat format) const {
    testimages::TempFolder folder;
    const std::string path = folder.File("reference");
    EXPECT_TRUE(Write(path, format));
    return testimages::ReadBytes(path);
  }
};

std::vector<std::string> Names(const testimages::TempFolder& folder) {
  std::vector<std::string> names = folder.Names();
  std::sort(names.begin(), names.end());
  return names;
}

// Everything written into the FIFO at `path` until its writer closes it.
std::vector<uint8_t> DrainFifo(const std::string& path) {
  std::vector<uint8_t> bytes;
  const int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0) return bytes;
  uint8_t buffer[8192];
  ssize_t n = 0;
  while ((n = read(fd, buffer, sizeof buffer)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
  close(fd);
  return bytes;
}

TEST(SaveTargets, AFifoReceivesTheCardDirectlyAndStaysAFifo) {
  testimages::TempFolder folder;
  const std::string fifo = folder.File("card.fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string link = folder.File("link.png");
  ASSERT_EQ(symlink(fifo.c_str(), link.c_str()), 0);
  const Card card(120, 80);
  for (CardFormat format : {CardFormat::Png, CardFormat::Jpeg}) {
    for (const std::string& target : {fifo, link}) {
      std::vector<uint8_t> received;
      std::thread reader([&] { received = DrainFifo(fifo); });
      const SaveResult result = card.Write(target, format);
      reader.join();
      EXPECT_TRUE(result) << result.Message();
      EXPECT_EQ(received, card.Bytes(format));
    }
  }
  struct stat info {};
  ASSERT_EQ(lstat(fifo.c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
  ASSERT_EQ(lstat(link.c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  EXPECT_EQ(Names(folder), (std::vector<std::string>{"card.fifo", "link.png"}));
}

int readerToClose = -1;
void CloseReader(uint64_t) {
  if (readerToClose >= 0) close(readerToClose);
  readerToClose = -1;
}

TEST(SaveTargets, AReaderThatGoesAwayIsABrokenPipeNotTheEndOfTheProgram) {
  testimages::TempFolder folder;
  const std::string fifo = folder.File("card.fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  // The reader exists when the save opens the FIFO and is gone after the
  // first write; the bytes after it have nowhere to go.
  readerToClose = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(readerToClose, 0);
  imagefiles::SetOutputWriteHookForTesting(CloseReader);
  const SaveResult result = Card(300, 200).Write(fifo, CardFormat::Jpeg);
  imagefiles::SetOutputWriteHookForTesting(nullptr);
  EXPECT_EQ(result.step, SaveStep::Write);
  EXPECT_EQ(result.cause, std::errc::broken_pipe);
  sigset_t pending;
  sigpending(&pending);
  EXPECT_EQ(sigismember(&pending, SIGPIPE), 0);
}

// A device node of the test's own, as only root may make one; null when
// that is not allowed or the folder's file system does not open devices.
bool MakeDevice(const std::string& path, mode_t kind, unsigned major, unsigned minor) {
  if (mknod(path.c_str(), kind | 0600, makedev(major, minor)) != 0) return false;
  if (kind == S_IFBLK) return true;  // never opened
  const int fd = open(path.c_str(), O_WRONLY);
  if (fd < 0) return false;
  close(fd);
  return true;
}

TEST(SaveTargets, ACharacterDeviceIsWrittenAndKept) {
  testimages::TempFolder folder;
  const std::string sink = folder.File("null");  // the numbers of the null device
  const std::string full = folder.File("full");  // and of the always-full one
  if (!MakeDevice(sink, S_IFCHR, 1, 3) || !MakeDevice(full, S_IFCHR, 1, 7)) {
    GTEST_SKIP() << "making or opening device nodes is not permitted here";
  }
  const Card card(64, 48);
  EXPECT_TRUE(card.Write(sink, CardFormat::Png));
  const SaveResult result = card.Write(full, CardFormat::Png);
  EXPECT_EQ(result.step, SaveStep::Write);
  EXPECT_EQ(result.cause, std::errc::no_space_on_device);
  for (const std::string& node : {sink, full}) {
    struct stat info {};
    ASSERT_EQ(lstat(node.c_str(), &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode)) << node;
  }
  EXPECT_EQ(Names(folder), (std::vector<std::string>{"full", "null"}));
}

TEST(SaveTargets, FoldersSocketsAndBlockDevicesAreRefusedAndKept) {
  testimages::TempFolder folder;
  const Card card(8, 8);
  ASSERT_EQ(mkdir(folder.File("folder").c_str(), 0700), 0);
  SaveResult result = card.Write(folder.File("folder"), CardFormat::Png);
  EXPECT_EQ(result.step, SaveStep::Target);
  EXPECT_EQ(result.cause, SaveError::IsFolder);
  EXPECT_EQ(result.Message(), "the card cannot be saved there: it is a folder");

  const std::string socketPath = folder.File("sock");
  const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(socketPath.size(), sizeof address.sun_path);
  std::strcpy(address.sun_path, socketPath.c_str());
  ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  result = card.Write(socketPath, CardFormat::Jpeg);
  close(sock);
  EXPECT_EQ(result.step, SaveStep::Target);
  EXPECT_EQ(result.cause, SaveError::IsSocket);
  struct stat info {};
  ASSERT_EQ(lstat(socketPath.c_str(), &info), 0);
  EXPECT_TRUE(S_ISSOCK(info.st_mode));

  const std::string block = folder.File("block");
  if (MakeDevice(block, S_IFBLK, 7, 0)) {
    result = card.Write(block, CardFormat::Png);
    EXPECT_EQ(result.cause, SaveError::IsBlockDevice);
    ASSERT_EQ(lstat(block.c_str(), &info), 0);
    EXPECT_TRUE(S_ISBLK(info.st_mode));
  }
  std::vector<std::string> names = Names(folder);
  names.erase(std::remove(names.begin(), names.end(), "block"), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"folder", "sock"}));
}

TEST(SaveTargets, ADescriptorIsWrittenStraightThroughAndLeftOpen) {
  testimages::TempFolder folder;
  const std::string path = folder.File("out");
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  const Card card(40, 30);
  EXPECT_TRUE(card.Write(imagefiles::OutputTarget::Descriptor(fd), CardFormat::Png));
  EXPECT_NE(fcntl(fd, F_GETFD), -1) << "still open";
  close(fd);
  EXPECT_EQ(testimages::ReadBytes(path), card.Bytes(CardFormat::Png));
  EXPECT_EQ(Names(folder), std::vector<std::string>{"out"});
}

TEST(SaveReplacement, KeepsModeAndOwnerOfTheReplacedFile) {
  testimages::TempFolder folder;
  const std::string path = folder.File("card.png");
  testimages::WriteBytes(path, std::vector<uint8_t>(10, 1));
  ASSERT_EQ(chmod(path.c_str(), 0600), 0);
  const bool root = geteuid() == 0;
  if (root) {
    ASSERT_EQ(chown(path.c_str(), 4321, 8765), 0);
  }
  ASSERT_TRUE(Card(4, 4).Write(path, CardFormat::Png));
  struct stat info {};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0600u);
  if (root) {
    EXPECT_EQ(info.st_uid, 4321u);
    EXPECT_EQ(info.st_gid, 8765u);
  }
  EXPECT_EQ(testimages::ReadBytes(path)[1], 'P');
}

TEST(SaveReplacement, AFailureNamesTheStepAndTheFirstCause) {
  testimages::TempFolder folder;
  const std::string path = folder.File("card.jpg");
  imagefiles::FailOutputWriteForTesting(2);
  SaveResult result = Card(400, 300).Write(path, CardFormat::Jpeg);
  imagefiles::FailOutputWriteForTesting(0);
  EXPECT_EQ(result.step, SaveStep::Write);
  EXPECT_EQ(result.cause, std::errc::no_space_on_device);
  EXPECT_EQ(result.Reason(), std::strerror(ENOSPC));
  EXPECT_EQ(result.Message(), std::string("the file cannot be written: ") + std::strerror(ENOSPC));

  result = Card(4, 4).Write(folder.File("missing/card.png"), CardFormat::Png);
  EXPECT_EQ(result.step, SaveStep::Create);
  EXPECT_EQ(result.cause, std::errc::no_such_file_or_directory);

  // Sides libjpeg refuses are refused before anything is created.
  std::vector<uint8_t> wide(70000 * 3, 0);
  result = imagefiles::WriteCard(path, CardFormat::Jpeg, wide.data(), 70000, 1, 70000 * 3);
  EXPECT_EQ(result.step, SaveStep::Card);
  EXPECT_EQ(result.cause, SaveError::TooLargeForJpeg);
  EXPECT_TRUE(Names(folder).empty());
  EXPECT_TRUE(SaveResult().Message().empty());
}

std::string watchedFolder;
std::vector<std::vector<std::string>> namesDuringWrites;
void ListFolder(uint64_t) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(watchedFolder.c_str())) {
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
  }
  namesDuringWrites.push_back(names);
}

TEST(SaveReplacement, TheNewFileHasNoNameUntilItIsComplete) {
  testimages::TempFolder folder;
  const std::string path = folder.File("card.jpg");
  const Card card(300, 200);
  for (TemporaryFileMode mode :
       {TemporaryFileMode::Auto, TemporaryFileMode::UnnamedByProcPath, TemporaryFileMode::NamedOnly}) {
    testimages::WriteBytes(path, {1, 2, 3});
    watchedFolder = folder.path();
    namesDuringWrites.clear();
    imagefiles::SetTemporaryFileModeForTesting(mode);
    imagefiles::SetOutputWriteHookForTesting(ListFolder);
    const SaveResult result = card.Write(path, CardFormat::Jpeg);
    imagefiles::SetOutputWriteHookForTesting(nullptr);
    imagefiles::SetTemporaryFileModeForTesting(TemporaryFileMode::Auto);
    EXPECT_TRUE(result) << result.Message();
    EXPECT_EQ(testimages::ReadBytes(path), card.Bytes(CardFormat::Jpeg));
    EXPECT_EQ(Names(folder), std::vector<std::string>{"card.jpg"});
    ASSERT_GE(namesDuringWrites.size(), 3u);
    // Only a file system without unnamed files shows a hidden name meanwhile.
    const size_t expected = mode == TemporaryFileMode::NamedOnly ? 2 : 1;
    for (const auto& names : namesDuringWrites) {
      EXPECT_EQ(names.size(), expected);
    }
  }
}

int killPipe = -1;
void StopHalfway(uint64_t bytes) {
  if (bytes < 20000) return;
  const char halfway = 'h';
  (void)!write(killPipe, &halfway, 1);
  for (;;) pause();  // until the parent's SIGKILL
}

// Runs a save in a child process that its parent kills with SIGKILL once
// 20 KB of the new file are written.
void SaveAndGetKilled(const std::string& path, TemporaryFileMode mode) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(fds[0]);
    killPipe = fds[1];
    imagefiles::SetTemporaryFileModeForTesting(mode);
    imagefiles::SetOutputWriteHookForTesting(StopHalfway);
    Card(800, 600).Write(path, CardFormat::Png);
    _exit(3);  // the hook never let the save finish: reaching here is a fault
  }
  close(fds[1]);
  char signal = 0;
  const bool halfway = read(fds[0], &signal, 1) == 1;
  close(fds[0]);
  kill(child, SIGKILL);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(halfway);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
}

TEST(SaveReplacement, ASaveKilledHalfwayLeavesTheOldFileAsItWas) {
  testimages::TempFolder folder;
  const std::string path = folder.File("card.png");
  std::vector<uint8_t> old(5000);
  for (size_t i = 0; i < old.size(); ++i) old[i] = uint8_t(i * 7);
  testimages::WriteBytes(path, old);

  SaveAndGetKilled(path, TemporaryFileMode::Auto);
  EXPECT_EQ(Names(folder), std::vector<std::string>{"card.png"});
  EXPECT_EQ(testimages::ReadBytes(path), old);

  // Without unnamed files the dead save's hidden file stays until the next
  // save in that folder, which removes it.
  SaveAndGetKilled(path, TemporaryFileMode::NamedOnly);
  std::vector<std::string> names = Names(folder);
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0].rfind(".tessary-", 0), 0u);
  EXPECT_EQ(testimages::ReadBytes(path), old);
  ASSERT_TRUE(Card(4, 4).Write(folder.File("other.png"), CardFormat::Png));
  EXPECT_EQ(Names(folder), (std::vector<std::string>{"card.png", "other.png"}));
  EXPECT_EQ(testimages::ReadBytes(path), old);
}

TEST(TemporaryNames, OnlyFilesOfEndedProcessesOnThisHostAreRemoved) {
  std::string host;
  pid_t pid = 0;
  ASSERT_TRUE(imagefiles::ParseTemporaryName(imagefiles::TemporaryName(7), &host, &pid));
  EXPECT_EQ(pid, getpid());
  EXPECT_FALSE(host.empty());
  for (const char* other : {"card.jpg", ".tessary-.tmp", ".tessary-h-1.tmp", ".tessary-h-x-1.tmp",
                            ".tessary-h-1-2.png", ".tessary--1-2.tmp", ".tessary-h-0-2.tmp"}) {
    EXPECT_FALSE(imagefiles::ParseTemporaryName(other, &host, &pid)) << other;
  }
  ASSERT_TRUE(imagefiles::ParseTemporaryName(".tessary-my-host-12-3.tmp", &host, &pid));
  EXPECT_EQ(host, "my-host");
  EXPECT_EQ(pid, 12);

  // A process id that has certainly ended: a child's, once reaped.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) _exit(0);
  ASSERT_EQ(waitpid(child, nullptr, 0), child);
  std::string thisHost;
  imagefiles::ParseTemporaryName(imagefiles::TemporaryName(1), &thisHost, &pid);

  testimages::TempFolder folder;
  const auto name = [&](const std::string& h, pid_t p) {
    return ".tessary-" + h + "-" + std::to_string(p) + "-1.tmp";
  };
  const std::string dead = name(thisHost, child);
  const std::string live = name(thisHost, getppid());
  const std::string elsewhere = name(thisHost + "-other", child);
  const std::string deadFolder = ".tessary-" + thisHost + "-" + std::to_string(child) + "-2.tmp";
  for (const std::string& file : {dead, live, elsewhere}) {
    testimages::WriteBytes(folder.File(file), {1});
  }
  ASSERT_EQ(mkdir(folder.File(deadFolder).c_str(), 0700), 0);
  imagefiles::RemoveAbandonedTemporaries(folder.path());
  std::vector<std::string> expected{deadFolder, elsewhere, live};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Names(folder), expected);
}

}  // namespace
#endif  // _WIN32
