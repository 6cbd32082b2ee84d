#include <string>
#include <vector>

#include "app/Startup.h"
#include "platform/qt/QtPlatform.h"

int main(int argc, char** argv) {
  // The toolkit takes its own options out of the command line first; what
  // is left are the files to open.
  platform::qt::QtPlatform platform(argc, argv);
  std::vector<std::string> files;
  bool optionsEnd = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (!optionsEnd && arg == "--") {
      optionsEnd = true;
      continue;
    }
    files.push_back(arg);
  }
  return app::TessaryMain(platform, files);
}
