#pragma once

// Runs the command-line tools as a user would and captures what they say.

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tooltest {

struct ToolResult {
  int exitCode = -1;  // -1 when the tool did not exit normally (a crash)
  std::string out;
  std::string err;
  long peakKilobytes = 0;  // the tool's peak resident memory
};

inline std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline ToolResult RunTool(const std::string& exe, const std::vector<std::string>& args,
                          const std::filesystem::path& scratch) {
  const std::string outPath = (scratch / "tool.stdout").string();
  const std::string errPath = (scratch / "tool.stderr").string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  std::vector<std::string> all{exe};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : all) argv.push_back(arg.data());
  argv.push_back(nullptr);
  ToolResult result;
  pid_t pid = 0;
  if (posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    struct rusage usage {};
    if (wait4(pid, &status, 0, &usage) == pid && WIFEXITED(status)) {
      result.exitCode = WEXITSTATUS(status);
    }
    result.peakKilobytes = usage.ru_maxrss;
  }
  posix_spawn_file_actions_destroy(&actions);
  result.out = ReadText(outPath);
  result.err = ReadText(errPath);
  std::filesystem::remove(outPath);
  std::filesystem::remove(errPath);
  return result;
}

inline int CountLines(const std::string& text) {
  int lines = 0;
  for (char c : text) lines += c == '\n';
  return lines;
}

}  // namespace tooltest

#include <gtest/gtest.h>

namespace tooltest {

// A fresh folder per test for inputs and outputs.
class ToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::filesystem::temp_directory_path() /
           ("tessary-tools-" + std::to_string(::getpid()) + "-" + info->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  void WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes) const {
    std::ofstream out(dir_ / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }

  std::vector<uint8_t> ReadBytes(const std::string& name) const {
    const std::string text = ReadText(dir_ / name);
    return std::vector<uint8_t>(text.begin(), text.end());
  }

  ToolResult Render(const std::vector<std::string>& args) const {
    return RunTool(TESSARY_RENDER_EXE, args, dir_);
  }
  ToolResult Layout(const std::vector<std::string>& args) const {
    return RunTool(TESSARY_LAYOUT_EXE, args, dir_);
  }

  std::filesystem::path dir_;
};

}  // namespace tooltest
