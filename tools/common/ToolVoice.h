#pragma once

#include <string>

#include "imagefiles/SaveResult.h"

namespace tools {

// Exit statuses every tool documents in its usage text.
constexpr int kFailed = 1;
constexpr int kUsageError = 2;

// How a command-line tool speaks on standard error: every line starts with
// the tool's name, a file's lines name the file, and running out of memory
// is one plain line rather than an abort.
class ToolVoice {
 public:
  ToolVoice(const char* name, const char* usage) : name_(name), usage_(usage) {}

  // "<tool>: <problem>" and the usage text; kUsageError.
  int Usage(const std::string& problem) const;
  // "<tool>: <file>: <reason>"; kFailed.
  int Fail(const std::string& file, const std::string& reason) const;
  // "<tool>: <file>: cannot be written (<why>)"; kFailed.
  int FailWrite(const std::string& file, const imagefiles::SaveResult& saved) const;
  // "<tool>: warning: <text>".
  void Warn(const std::string& text) const;

  // run(argc, argv), with "out of memory" reported as a failure.
  int Main(int (*run)(int, char**), int argc, char** argv) const;

 private:
  const char* name_;
  const char* usage_;
};

}  // namespace tools
