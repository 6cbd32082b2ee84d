#pragma once

// Runs the command-line tools as a user would and captures what they say.

#ifdef _WIN32
#include <windows.h>
#include <process.h>
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdio>
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

#ifdef _WIN32
inline std::wstring Wide(const std::string& utf8) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
  std::wstring wide(size_t(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), n);
  return wide;
}

// One argument as the C runtime splits command lines: quoted, with
// backslashes doubled only before a quote.
inline std::wstring QuoteArgument(const std::wstring& arg) {
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (const wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, L'\\');
  return quoted + L"\"";
}

inline ToolResult RunTool(const std::string& exe, const std::vector<std::string>& args,
                          const std::filesystem::path& scratch) {
  const std::filesystem::path outPath = scratch / "tool.stdout";
  const std::filesystem::path errPath = scratch / "tool.stderr";
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  const HANDLE out = CreateFileW(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  const HANDLE err = CreateFileW(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  std::wstring command = QuoteArgument(Wide(exe));
  for (const std::string& arg : args) command += L" " + QuoteArgument(Wide(arg));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = out;
  startup.hStdError = err;
  ToolResult result;
  // Under a busy Wine a new process now and then fails to start (no process,
  // or DLL initialisation failed) before the tool runs at all; that is tried
  // again, a crash of the tool itself is not.
  constexpr DWORD kDllInitFailed = 0xC0000142u;
  for (int attempt = 0; attempt < 3; ++attempt) {
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process)) {
      Sleep(200);
      continue;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    const bool known = GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (known && code == kDllInitFailed) {
      Sleep(200);
      continue;
    }
    // Exception codes (0xC0000005 and the like) mean the tool crashed.
    if (known && code < 0xC0000000u) result.exitCode = int(code);
    break;
  }
  CloseHandle(out);
  CloseHandle(err);
  // Text written to a Windows console or file ends its lines with CR LF;
  // what the tools say is compared line by line.
  auto lines = [](std::string text) {
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
      text.erase(at, 1);
    return text;
  };
  result.out = lines(ReadText(outPath));
  result.err = lines(ReadText(errPath));
  std::filesystem::remove(outPath);
  std::filesystem::remove(errPath);
  return result;
}
#else
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
#endif

inline int CountLines(const std::string& text) {
  int lines = 0;
  for (char c : text) lines += c == '\n';
  return lines;
}

}  // namespace tooltest

#include <gtest/gtest.h>

namespace tooltest {

inline long Pid() {
#ifdef _WIN32
  return long(_getpid());
#else
  return long(::getpid());
#endif
}

// A fresh folder per test for inputs and outputs.
#ifndef _WIN32
// What a shell command prints; the command's stderr is dropped.
inline std::string ShellOutput(const std::string& command) {
  std::string text;
  if (FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r")) {
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
    pclose(pipe);
  }
  return text;
}
#endif

class ToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::filesystem::temp_directory_path() /
           ("tessary-tools-" + std::to_string(Pid()) + "-" + info->name());
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
