#pragma once

// The program keeps settings and autosaved cards in the user's folders;
// tests on the Qt backend keep theirs in a folder of the test run's own,
// removed at its end, named before anything reads the variables.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace qttest {

inline const std::string kOwnFolders = [] {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("tessary-qt-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  ::setenv("XDG_STATE_HOME", (folder / "state").c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
  static const std::string removed = folder.string();
  std::atexit([] {
    std::error_code error;
    std::filesystem::remove_all(removed, error);
  });
  return folder.string();
}();

}  // namespace qttest
